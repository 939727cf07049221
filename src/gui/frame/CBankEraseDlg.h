#pragma once
// The bank erase dialog: tick the banks to erase (never the one shown) and run.

#include <QCheckBox>
#include <QDialog>

#include "frame/CBankManager.h"

namespace qavix {

class CBankEraseDlg : public QDialog {
    Q_OBJECT
  public:
    CBankEraseDlg(CBankManager& banks, QWidget* parent = nullptr);

    QCheckBox* bankBox(int bank) const { return m_boxes[bank - 1]; }
    // "実行": nothing ticked closes; otherwise the erase, and OK once every bank is erased.
    void execute();

  private:
    CBankManager& m_banks;
    QCheckBox* m_boxes[kBankCount] = {};
};

}  // namespace qavix
