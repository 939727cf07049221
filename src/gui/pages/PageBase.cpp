#include "pages/PageBase.h"

#include "model/ErrorLog.h"
#include "state/UiText.h"

namespace qavix {

void PageBase::setCommBusy(bool on) {
    m_holdsBusy = on;
    m_context.state.setCommBusy(on);
    m_context.link.setBusy(on);
}

void PageBase::openWait(bool writing) {
    if (m_context.openWaitWindow) {
        m_context.openWaitWindow(writing);
    }
    m_waitOpen = true;
}

void PageBase::closeWait() {
    if (m_waitOpen && m_context.closeWaitWindow) {
        m_context.closeWaitWindow();
    }
    m_waitOpen = false;
}

void PageBase::showMessage(const QString& text) {
    m_context.messages.showMessage(text.toStdString());
}

void PageBase::showFileNotWritten(bool withSound) {
    if (withSound) {
        m_context.messages.beep();
    }
    showMessage(coreText(kCsvOpenFailed));
}

bool PageBase::runReads(const std::vector<PageRead>& reads, BusyFlag busy) {
    const bool holdHere = busy == BusyFlag::Hold && !holdsCommBusy();
    if (holdHere) {
        setCommBusy(true);
    }
    bool ok = true;
    for (const PageRead& r : reads) {
        if (link().request(r.code, r.arg1, r.start, r.count, r.timeoutMs) != kRequestOk) {
            ok = false;
            break;
        }
    }
    if (holdHere) {
        setCommBusy(false);
    }
    return ok;
}

}  // namespace qavix
