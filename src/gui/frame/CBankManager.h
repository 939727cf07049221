#pragma once
// The one object that moves the working set between stored sets: it guards against losing
// bank edits, re-reads and writes banks, copies and erases stored sets, and runs the bank
// dialogs (editing, erase, copy, import, export).

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "comm/Transactions.h"
#include "files/BankFileHost.h"
#include "model/DeviceModel.h"

namespace qavix {

class AppState;

class CBankManager : public QObject, public BankFileHost {
    Q_OBJECT
  public:
    enum Reason { kReasonSwitch = 0, kReasonClosing = 1 };

    static constexpr const char* kDiscardQuestion = QT_TRANSLATE_NOOP(
        "qavix::CBankManager",
        "コントローラのデータを読み込みなおします。\n今までの編集内容は破棄されます。\nよろしいです"
        "か？");
    static constexpr const char* kWriteQuestion = QT_TRANSLATE_NOOP(
        "qavix::CBankManager",
        "Bankの設定をコントローラに書き込みます。\n（変更されていない場合は書き込みを行いません。）"
        "\n"
        "よろしいですか？");
    static constexpr const char* kCopyOverwriteQuestion =
        QT_TRANSLATE_NOOP("qavix::CBankManager",
                          "コピー先に既に設定値が設定されています。\n上書きしてもよろしいですか？");
    static constexpr const char* kExportFailedMessage =
        QT_TRANSLATE_NOOP("qavix::CBankManager", "ファイルを書き込めませんでした。\n%1");
    static constexpr const char* kCopyEmptySourceMessage = QT_TRANSLATE_NOOP(
        "qavix::CBankManager", "コピー元に設定値が設定されていません。\nコピーを中止します。");

    CBankManager(DeviceModel& model, Transactions& transactions, QObject* parent = nullptr);

    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }
    // The run flags (data ready, data replaced, the remembered export title) and the folder
    // the file dialogs start in.
    void setAppState(AppState* state) { m_state = state; }
    void setStartDirectory(const QString& folder) { m_startDirectory = folder; }
    QWidget* dialogParent() const { return m_dialogParent; }

    DeviceModel& model() override { return m_model; }
    AppState* appState() const override { return m_state; }
    const QString& startDirectory() const override { return m_startDirectory; }

    int editState(int bank) const { return m_model.editState(bank); }
    // True: go on. False: refused (the user kept the edits or the set holds no settings).
    bool editingGuard(int bank, int reason);
    bool mayLeaveSelectedSet() override {
        return editingGuard(m_model.selectedSet(), kReasonSwitch);
    }
    void showEditingMessage();
    // 1 when switched, otherwise 0 (the guard refused).
    int switchToBank(int bank);
    // Makes stored set `index` the working set and reads the bank function switch again.
    void selectStoredSet(int index);
    int rereadBank(int bank);
    int writeSelectedBank() { return m_transactions.writeSelectedBank(); }
    // `before`: the current values the controller held until the working set was replaced.
    int writeCurrentValues(const SettingsData& before, const WriteDescription& what) {
        return m_transactions.writeCurrentValues(before, what);
    }
    bool copyStoredSet(int destination, int source);
    bool clearBank(int bank) { return m_model.clearBank(bank); }
    void checkCompatibility() { m_model.checkCompatibility(); }
    // The working set's latest values put back into the stored set it shows, so that a copy
    // or file takes what the pages show.
    void storeWorkingSet() override;

    // Bank menu and bank bar.
    void discardEdits();
    void writeBank();
    void runEraseDialog();
    void runCopyDialog();
    // File menu and tool bar; the export also saves a bank's edits for the editing dialog.
    bool runImportDialog();
    bool runExportDialog(bool savingEdits);

    // The copy dialog's "実行" for `source` onto `destination`.
    enum class CopyOutcome { Stay, Done, Abandoned };
    CopyOutcome copy(int source, int destination);
    // The import dialog's "実行" once its questions are answered: the file checked into the
    // spare set, then copied into `target` (written to the controller when it is the current
    // values). False after a message; nothing was replaced.
    bool importInto(const QString& path, int target) override;
    // The export dialog's "実行" once the source is known: false when cancelled or failed.
    bool exportTo(int source, const QString& title, QWidget* dialog) override;
    // The erase dialog's "実行" for the ticked banks: true when all were erased.
    bool erase(const std::vector<int>& banks);

    static QString editingMessage(int selectedSet);
    // An OK/Cancel question; true for OK.
    bool ask(const QString& text) const override;
    void inform(const QString& text, const QString& caption = "Qavix") const override;

  signals:
    // A set other than the current values was selected: the bank commands apply again.
    void storedSetSelected(int index);
    // Stored data was replaced (copy, import, discard): the pages and the tree show `set`.
    void setsReplaced(int set);
    // Banks were erased: the tree shows which banks still hold settings.
    void banksErased();

  private:
    bool runEditDialog(int reason);
    bool saveEditsToFile();
    void discardSelectedBankEdits();

    DeviceModel& m_model;
    Transactions& m_transactions;
    QPointer<QWidget> m_dialogParent;
    AppState* m_state = nullptr;
    QString m_startDirectory;
};

}  // namespace qavix
