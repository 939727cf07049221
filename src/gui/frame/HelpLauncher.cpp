#include "frame/HelpLauncher.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>

#include "MessageCatalogue.h"
#include "ProgramVersion.h"
#include "frame/ManualLocation.h"

namespace qavix {

namespace {

constexpr const char* kHelpTitle = "Qavix Help";

}  // namespace

void HelpLauncher::openHelp() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == kHelpTitle) {
            return;
        }
    }
    openManual();
}

void HelpLauncher::openManual() {
    const auto places = manualCandidates(QCoreApplication::applicationDirPath().toStdString(),
                                         i18n::currentLanguage());
    const std::string manual = findManual(places);
    if (manual.empty()) {
        QMessageBox::warning(m_parent, "Qavix",
                             QString::fromStdString(manualMissingMessage(places)));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(manual));
    if (m_urlOpener ? !m_urlOpener(url) : !QDesktopServices::openUrl(url)) {
        QMessageBox::warning(
            m_parent, "Qavix",
            QCoreApplication::translate("qavix::HelpLauncher",
                                        "ブラウザでマニュアルを開けませんでした。\n%1")
                .arg(QString::fromStdString(manual)));
    }
}

void HelpLauncher::showAbout() {
    QMessageBox::about(
        m_parent, QCoreApplication::translate("qavix::HelpLauncher", "Qavixのバージョン情報"),
        QCoreApplication::translate("qavix::HelpLauncher",
                                    "Qavix Version %1\n\nエリアスキャナ設定・モニタツール")
            .arg(QString::fromUtf8(programVersion())));
}

}  // namespace qavix
