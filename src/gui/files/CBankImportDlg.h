#pragma once
// The bank import dialog: a folder's bank files with their titles and dates, the target
// (current values or a bank), and the import with every check before anything is replaced.

#include <QButtonGroup>
#include <QDialog>
#include <QRadioButton>
#include <QTreeWidget>

#include "files/BankFileHost.h"
#include "model/DeviceModel.h"

namespace qavix {

class CBankImportDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kNoBankFiles =
        QT_TRANSLATE_NOOP("qavix::CBankImportDlg", "Bankﾌｧｲﾙが存在しません");
    static constexpr const char* kSearchCaption =
        QT_TRANSLATE_NOOP("qavix::CBankImportDlg", "検索結果");
    static constexpr const char* kOverwriteQuestion = QT_TRANSLATE_NOOP(
        "qavix::CBankImportDlg",
        "インポート先に既に設定値が設定されています。\n上書きしてもよろしいですか？");
    static constexpr const char* kNoFileMessage =
        QT_TRANSLATE_NOOP("qavix::CBankImportDlg",
                          "インポートファイルが指定されていません。\nファイルを指定して下さい。");

    CBankImportDlg(BankFileHost& banks, QWidget* parent = nullptr);

    QTreeWidget* fileList() const { return m_list; }
    QRadioButton* target(int set) const { return m_targets[set]; }
    // "参照" after the file dialog: lists the bank files of `chosen`'s folder and selects
    // the row of `chosen`.
    void listFolderOf(const QString& chosen);
    // "実行".
    void execute();

  private:
    void browse();
    int targetIndex() const;

    BankFileHost& m_banks;
    QTreeWidget* m_list = nullptr;
    QButtonGroup m_group;
    QRadioButton* m_targets[kBankCount + 1] = {};
    QString m_folder;
};

}  // namespace qavix
