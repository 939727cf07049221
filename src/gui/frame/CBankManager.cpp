#include "frame/CBankManager.h"

#include <QMessageBox>

#include "frame/CBankEditDlg.h"

namespace qavix {

CBankManager::CBankManager(DeviceModel& model, Transactions& transactions, QObject* parent)
    : QObject(parent), m_model(model), m_transactions(transactions) {}

QString CBankManager::editingMessage(int selectedSet) {
    if (selectedSet == kCurrentSet) {
        return "現在値が編集中です。\n「書込み」又は「取消し」を行ってください。";
    }
    return QString("Bank%1が編集中です。\n「適用」又は「取消し」を行ってください。")
        .arg(selectedSet);
}

void CBankManager::showEditingMessage() {
    QMessageBox::warning(m_dialogParent, "Qavix", editingMessage(m_model.selectedSet()));
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
    CBankEditDlg dlg(m_model.selectedSet(), reason == kReasonSwitch, m_dialogParent);
    if (dlg.exec() != QDialog::Accepted) {
        return false;
    }
    switch (dlg.choice()) {
        case CBankEditDlg::WriteToController:
            m_transactions.writeSelectedBank();
            return true;
        case CBankEditDlg::Discard:
            discardSelectedBankEdits();
            return true;
        case CBankEditDlg::SaveToFile:
        default:
            return false;
    }
}

void CBankManager::discardSelectedBankEdits() {
    const int selected = m_model.selectedSet();
    // Selecting the same set reloads the working set from its stored set.
    m_model.selectSet(selected);
    StoredSet& stored = m_model.storedSet(selected);
    if (stored.writeAll != 0) {
        // A copied-in bank has no earlier state here: the controller's banks are the truth.
        m_transactions.readBanks();
        m_model.selectSet(selected);
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

}  // namespace qavix
