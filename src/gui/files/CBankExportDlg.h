#pragma once
// The bank export dialog: the current values or a bank, a title, and the file.

#include <QButtonGroup>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "files/BankFileHost.h"
#include "model/DeviceModel.h"

namespace qavix {

class CBankExportDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxTitleLength = 256;
    static constexpr const char* kNoSourceMessage =
        QT_TRANSLATE_NOOP("qavix::CBankExportDlg", "対象データが選択されていません\n");

    // `savingEdits`: opened by the bank editing dialog to save the shown bank's edits.
    CBankExportDlg(BankFileHost& banks, bool savingEdits, QWidget* parent = nullptr);

    QRadioButton* source(int set) const { return m_sources[set]; }
    QLineEdit* titleEdit() const { return m_title; }
    // "実行".
    void execute();

  private:
    BankFileHost& m_banks;
    QButtonGroup m_group;
    QRadioButton* m_sources[kBankCount + 1] = {};
    QLineEdit* m_title = nullptr;
};

}  // namespace qavix
