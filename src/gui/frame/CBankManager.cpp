#include "frame/CBankManager.h"

#include <QMessageBox>
#include <ctime>

#include "files/BankFile.h"
#include "files/BankFileDialogs.h"
#include "files/BankImport.h"
#include "files/CBankExportDlg.h"
#include "files/CBankImportDlg.h"
#include "files/OfflineEditFile.h"
#include "frame/CBankCopyDlg.h"
#include "frame/CBankEditDlg.h"
#include "frame/CBankEraseDlg.h"
#include "state/AppState.h"

namespace qavix {

namespace {

// Holds the data-replaced flag for the length of an operation, on every way out.
class DataReplacedScope {
  public:
    explicit DataReplacedScope(AppState* state) : m_state(state) {
        if (m_state != nullptr) {
            m_state->dataReplaced = true;
        }
    }
    ~DataReplacedScope() {
        if (m_state != nullptr) {
            m_state->dataReplaced = false;
        }
    }
    DataReplacedScope(const DataReplacedScope&) = delete;
    DataReplacedScope& operator=(const DataReplacedScope&) = delete;

  private:
    AppState* m_state;
};

}  // namespace

CBankManager::CBankManager(DeviceModel& model, Transactions& transactions, QObject* parent)
    : QObject(parent), m_model(model), m_transactions(transactions) {}

QString CBankManager::editingMessage(int selectedSet) {
    if (selectedSet == kCurrentSet) {
        return tr("現在値が編集中です。\n「書込み」又は「取消し」を行ってください。");
    }
    return tr("Bank%1が編集中です。\n「適用」又は「取消し」を行ってください。").arg(selectedSet);
}

bool CBankManager::ask(const QString& text) const {
    return QMessageBox::question(m_dialogParent, "Qavix", text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

void CBankManager::inform(const QString& text, const QString& caption) const {
    QMessageBox::warning(m_dialogParent, caption, text);
}

void CBankManager::showEditingMessage() {
    inform(editingMessage(m_model.selectedSet()));
}

bool CBankManager::editingGuard(int bank, int reason) {
    const int state = editState(bank);
    // The current values are what the banks are compared with; they are never foreign to
    // themselves, even before a first successful read (which would otherwise keep the
    // program from being closed).
    if ((state & kEditIncompatible) != 0 && bank != kCurrentSet) {
        return false;
    }
    if ((state & kEditPagePending) != 0) {
        showEditingMessage();
        return false;
    }
    if ((state & kEditAppliedUnwritten) != 0) {
        return runEditDialog(reason);
    }
    return true;
}

bool CBankManager::runEditDialog(int reason) {
    CBankEditDlg dlg(
        m_model.selectedSet(), reason == kReasonSwitch,
        [this](CBankEditDlg::Choice choice) {
            switch (choice) {
                case CBankEditDlg::WriteToController:
                    // A write that failed keeps the edits; leaving would lose them.
                    return m_transactions.writeSelectedBank() == kRequestOk;
                case CBankEditDlg::SaveToFile:
                    return saveEditsToFile();
                case CBankEditDlg::Discard:
                default:
                    discardSelectedBankEdits();
                    return true;
            }
        },
        m_state, m_dialogParent);
    return dlg.exec() == QDialog::Accepted;
}

bool CBankManager::saveEditsToFile() {
    const int selected = m_model.selectedSet();
    StoredSet& stored = m_model.storedSet(selected);
    const StoredSet before = stored;
    storeWorkingSet();
    stored.edited = 0;
    stored.writeAll = 0;
    if (runExportDialog(true)) {
        return true;
    }
    // Cancelled: the bank is as it was, edits and all.
    stored = before;
    return false;
}

void CBankManager::discardSelectedBankEdits() {
    const int selected = m_model.selectedSet();
    // Selecting the same set reloads the working set from its stored set (and reads the
    // bank function switch again, as every selection does).
    m_transactions.selectStoredSet(selected);
    if (m_model.storedSet(selected).writeAll != 0) {
        // A copied-in bank has no earlier state here: the controller's banks are the truth.
        m_transactions.readBanks();
        // The summaries leave the bank to be read whole before it is shown again.
        m_transactions.rereadBank(selected);
        m_transactions.selectStoredSet(selected);
    }
    m_model.storedSet(selected).edited = 0;
}

int CBankManager::switchToBank(int bank) {
    if (!editingGuard(bank, kReasonSwitch)) {
        return 0;
    }
    if (bank != kCurrentSet && m_model.storedSet(bank).loaded == 0) {
        rereadBank(bank);
    }
    selectStoredSet(bank);
    return 1;
}

void CBankManager::selectStoredSet(int index) {
    m_transactions.selectStoredSet(index);
    if (index != kCurrentSet) {
        emit storedSetSelected(index);
    }
}

int CBankManager::rereadBank(int bank) {
    return m_transactions.rereadBank(bank);
}

bool CBankManager::copyStoredSet(int destination, int source) {
    return m_model.copyStoredSet(destination, source);
}

void CBankManager::storeWorkingSet() {
    static_cast<SettingsData&>(m_model.storedSet(m_model.selectedSet())) = m_model.working();
}

void CBankManager::discardEdits() {
    const int selected = m_model.selectedSet();
    if (selected == kCurrentSet) {
        return;
    }
    if ((editState(selected) & kEditPagePending) != 0) {
        showEditingMessage();
        return;
    }
    if (!ask(tr(kDiscardQuestion))) {
        return;
    }
    StoredSet& stored = m_model.storedSet(selected);
    const int edited = stored.edited;
    const int writeAll = stored.writeAll;
    if (rereadBank(selected) != kRequestOk) {
        // The edits are still in the working set; the bank keeps saying so.
        stored.edited = edited;
        stored.writeAll = writeAll;
        return;
    }
    checkCompatibility();
    m_transactions.selectStoredSet(selected);
    if (m_model.storedSet(selected).compatible == 0) {
        selectStoredSet(kCurrentSet);
        emit setsReplaced(kCurrentSet);
        return;
    }
    emit setsReplaced(selected);
}

void CBankManager::writeBank() {
    const int selected = m_model.selectedSet();
    if (selected == kCurrentSet) {
        return;
    }
    const int state = editState(selected);
    if ((state & kEditIncompatible) != 0) {
        return;
    }
    if ((state & kEditPagePending) != 0) {
        showEditingMessage();
        return;
    }
    if (ask(tr(kWriteQuestion))) {
        m_transactions.writeSelectedBank();
    }
}

bool CBankManager::erase(const std::vector<int>& banks) {
    const bool done = m_transactions.clearBanks(banks) == kRequestOk;
    emit banksErased();
    return done;
}

void CBankManager::runEraseDialog() {
    CBankEraseDlg dlg(*this, m_dialogParent);
    dlg.exec();
}

CBankManager::CopyOutcome CBankManager::copy(int source, int destination) {
    DataReplacedScope replacing(m_state);
    if (m_model.storedSet(destination).compatible != 0 && !ask(tr(kCopyOverwriteQuestion))) {
        return CopyOutcome::Stay;
    }
    const int selected = m_model.selectedSet();
    if (!editingGuard(selected, kReasonSwitch)) {
        return CopyOutcome::Stay;
    }
    if (m_model.storedSet(source).compatible == 0) {
        inform(tr(kCopyEmptySourceMessage));
        switchToBank(kCurrentSet);
        emit setsReplaced(kCurrentSet);
        return CopyOutcome::Abandoned;
    }
    if (m_model.selectedSet() == kCurrentSet) {
        storeWorkingSet();
    }
    if (source != kCurrentSet && m_model.storedSet(source).loaded == 0 &&
        rereadBank(source) != kRequestOk) {
        return CopyOutcome::Stay;
    }
    if (destination == kCurrentSet) {
        const StoredSet previous = m_model.storedSet(kCurrentSet);
        selectStoredSet(kCurrentSet);
        copyStoredSet(kCurrentSet, source);
        // Reload the working set from the copy: it is what goes to the controller.
        m_model.selectSet(kCurrentSet);
        const WriteDescription what{
            journal::Operation::BankCopy,
            source == kCurrentSet ? std::string("現在値") : "Bank" + std::to_string(source)};
        if (writeCurrentValues(previous, what) != kRequestOk) {
            // The controller still holds its old values; so does the program.
            m_model.storedSet(kCurrentSet) = previous;
            m_model.selectSet(kCurrentSet);
            emit setsReplaced(kCurrentSet);
            return CopyOutcome::Stay;
        }
    } else {
        copyStoredSet(destination, source);
    }
    selectStoredSet(destination);
    emit setsReplaced(destination);
    return CopyOutcome::Done;
}

bool CBankManager::importInto(const QString& path, int target) {
    DataReplacedScope replacing(m_state);
    const bankfile::ImportResult checked = bankfile::importIntoSpare(path.toStdString(), m_model);
    if (!checked.ok()) {
        inform(QString::fromStdString(checked.message));
        return false;
    }
    if (target == kCurrentSet) {
        const StoredSet previous = m_model.storedSet(kCurrentSet);
        selectStoredSet(kCurrentSet);
        copyStoredSet(kCurrentSet, kSpareSet);
        m_model.selectSet(kCurrentSet);
        if (writeCurrentValues(previous, {journal::Operation::BankImport, path.toStdString()}) !=
            kRequestOk) {
            // The controller refused the values: the program keeps showing what it holds.
            m_model.storedSet(kCurrentSet) = previous;
            m_model.selectSet(kCurrentSet);
            emit setsReplaced(kCurrentSet);
            return false;
        }
    } else {
        copyStoredSet(target, kSpareSet);
    }
    selectStoredSet(target);
    emit setsReplaced(target);
    return true;
}

bool CBankManager::exportTo(int source, const QString& title, QWidget* dialog) {
    const int selected = m_model.selectedSet();
    if (source == selected) {
        if (!editingGuard(selected, kReasonSwitch)) {
            return false;
        }
        // The pages show the working set; the file gets what they show.
        storeWorkingSet();
    }
    if (source != kCurrentSet && m_model.storedSet(source).loaded == 0 &&
        rereadBank(source) != kRequestOk) {
        return false;
    }
    const QString path = chooseBankFileToSave(dialog, m_startDirectory);
    if (path.isEmpty()) {
        return false;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const fileio::WriteResult written =
        bankfile::writeBankFile(path.toStdString(), m_model.storedSet(source), kBankFileVersionText,
                                title.toStdString(), local);
    if (!written.ok) {
        // Said, not kept silent: the user would otherwise believe the bank saved.
        inform(tr(kExportFailedMessage).arg(QString::fromStdString(written.error)));
        return false;
    }
    return true;
}

void CBankManager::runCopyDialog() {
    CBankCopyDlg dlg(*this, m_dialogParent);
    dlg.exec();
}

bool CBankManager::runImportDialog() {
    CBankImportDlg dlg(*this, m_dialogParent);
    return dlg.exec() == QDialog::Accepted;
}

bool CBankManager::runExportDialog(bool savingEdits) {
    CBankExportDlg dlg(*this, savingEdits, m_dialogParent);
    return dlg.exec() == QDialog::Accepted;
}

}  // namespace qavix
