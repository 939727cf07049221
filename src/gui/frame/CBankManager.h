#pragma once
// The one object that moves the working set between stored sets: it guards against losing
// bank edits, re-reads a bank that has not been read in this run, and selects the set.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "comm/Transactions.h"
#include "model/DeviceModel.h"

namespace qavix {

class CBankManager : public QObject {
    Q_OBJECT
  public:
    enum Reason { kReasonSwitch = 0, kReasonClosing = 1 };

    CBankManager(DeviceModel& model, Transactions& transactions, QObject* parent = nullptr);

    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }

    int editState(int bank) const { return m_model.editState(bank); }
    // True: go on. False: refused (the user kept the edits or the set holds no settings).
    bool editingGuard(int bank, int reason);
    void showEditingMessage();
    // 1 when switched, otherwise 0 (the guard refused).
    int switchToBank(int bank);
    // Makes stored set `index` the working set and reads the bank function switch again.
    void selectStoredSet(int index);
    int rereadBank(int bank);

    static QString editingMessage(int selectedSet);

  signals:
    // A set other than the current values was selected: the bank commands apply again.
    void storedSetSelected(int index);

  private:
    bool runEditDialog(int reason);
    void discardSelectedBankEdits();

    DeviceModel& m_model;
    Transactions& m_transactions;
    QPointer<QWidget> m_dialogParent;
};

}  // namespace qavix
