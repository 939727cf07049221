#include "pages/SettingPage.h"

#include <QApplication>

#include "comm/PageWrite.h"
#include "pages/PageRegistry.h"

namespace qavix {

SettingPage::SettingPage(const QString& className, const PageContext& context, int pageIndex,
                         int editedFlag, int fieldCount, QWidget* parent)
    : PageBase(className, context, parent), m_pageIndex(pageIndex), m_edit(editedFlag, fieldCount) {
    if (context.registry) {
        context.registry->add(pageIndex, this);
    }
}

SettingPage::~SettingPage() {
    if (context().registry) {
        context().registry->remove(this);
    }
}

CommandBarButtons* SettingPage::commandBar() const {
    return context().registry ? context().registry->commandBar() : nullptr;
}

void SettingPage::pageShown(const QString& /*title*/) {
    if (reloadPending()) {
        load();
    }
    setFocus();
    applyCommandButtons();
}

int SettingPage::startSettingTimeoutMs() const {
    return kRequestTimeoutMs;
}

void SettingPage::load() {
    setCommBusy(true);
    const std::vector<PageRead> reads = controllerReads();
    if (!reads.empty()) {
        openWait(false);
    }
    const bool ok = readFromController();
    if (ok) {
        fillFromWorkingSet();
        markClean();
    } else {
        readFailed();
    }
    closeWait();
    setCommBusy(false);
    // Also after a failure, so the page does not read again until a reload is asked for.
    clearReload();
}

bool SettingPage::readFromController() {
    for (const PageRead& r : controllerReads()) {
        if (link().request(r.code, r.arg1, r.start, r.count, r.timeoutMs) != kRequestOk) {
            return false;
        }
        // Lets the wait window blink between the reads.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

void SettingPage::fieldEdited(int field, FieldState state) {
    m_edit.setField(field, state);
    afterEdit();
}

void SettingPage::choiceEdited(int field, bool differs) {
    m_edit.setField(field, differs ? FieldState::Changed : FieldState::Unchanged);
    afterEdit();
}

void SettingPage::afterEdit() {
    if (!loaded()) {
        return;
    }
    repaintFields();
    m_edit.settle(differsFromWorkingSet(), working());
    if (!m_edit.changed()) {
        repaintFields();
    }
    applyCommandButtons();
}

void SettingPage::markClean() {
    m_edit.markClean(working());
    repaintFields();
    applyCommandButtons();
}

void SettingPage::applyCommandButtons() {
    CommandBarButtons* bar = commandBar();
    if (bar == nullptr || state().currentPage != m_pageIndex) {
        return;
    }
    const CommandButtons b = m_edit.buttons();
    bar->setWriteCancelEnabled(b.cancel);
    if (b.cancel && !b.write) {
        bar->setWriteEnabled(false);
    }
}

bool SettingPage::writePage() {
    if (!checkFields()) {
        if (CommandBarButtons* bar = commandBar()) {
            bar->setWriteCancelEnabled(true);
            bar->setWriteEnabled(false);
        }
        return false;
    }
    // Busy for every page's write, so a click on the tree meanwhile is dropped rather than
    // replayed once the write is over.
    setCommBusy(true);
    openWait(true);
    const bool ok = qavix::writePage(link(), state().model(), pagePuts(), startSettingTimeoutMs(),
                                     {journal::Operation::PageWrite, state().pageWrittenTitle})
                        .ok;
    if (ok) {
        markClean();
    }
    written(ok);
    setCommBusy(false);
    closeWait();
    return true;
}

void SettingPage::cancelPage() {
    fillFromWorkingSet();
    markClean();
    focusFirstField();
}

void SettingPage::focusAndSelect(QLineEdit* edit) {
    edit->setFocus();
    edit->selectAll();
}

}  // namespace qavix
