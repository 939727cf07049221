#include "frame/OfflineEditSession.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "frame/CBankManager.h"
#include "state/AppState.h"

namespace qavix {

void OfflineEditSession::start(OfflineEditing editing) {
    m_editing = std::move(editing);
    m_active = true;
    m_window.setWindowTitle(
        QCoreApplication::translate("qavix::OfflineEditSession", "%1[*] - Qavix オフライン編集")
            .arg(QFileInfo(m_editing.filePath).fileName()));
}

void OfflineEditSession::showModified() {
    if (m_active && m_editing.modified) {
        m_window.setWindowModified(m_editing.modified());
    }
}

bool OfflineEditSession::save() {
    if (!m_editing.save) {
        return false;
    }
    // What the pages hold but have not written is not in the current values yet.
    if (m_state.model().working().anyPageEdited()) {
        m_banks.showEditingMessage();
        return false;
    }
    const QString error = m_editing.save();
    if (!error.isEmpty()) {
        QMessageBox::warning(&m_window, "Qavix",
                             QCoreApplication::translate("qavix::OfflineEditSession",
                                                         "%1 を保存できませんでした。\n%2")
                                 .arg(m_editing.filePath, error));
        return false;
    }
    m_window.setWindowModified(false);
    return true;
}

bool OfflineEditSession::confirmLeaving() {
    if (!m_active || !m_editing.modified || !m_editing.modified()) {
        return true;
    }
    const auto answer = QMessageBox::question(
        &m_window, "Qavix",
        QCoreApplication::translate("qavix::OfflineEditSession",
                                    "%1 は変更されています。\n保存しますか？")
            .arg(QFileInfo(m_editing.filePath).fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        return save();
    }
    return answer == QMessageBox::Discard;
}

}  // namespace qavix
