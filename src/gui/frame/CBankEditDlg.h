#pragma once
// Asked when a bank with applied but unwritten edits would be left: write it to the
// controller, save it to a file, or discard the edits.

#include <QDialog>
#include <QRadioButton>

namespace qavix {

class CBankEditDlg : public QDialog {
    Q_OBJECT
  public:
    enum Choice { WriteToController = 0, SaveToFile = 1, Discard = 2 };

    // Saving to a file is offered only when the program is closing.
    CBankEditDlg(int bank, bool switching, QWidget* parent = nullptr);

    Choice choice() const;
    QRadioButton* option(Choice c) const { return m_options[c]; }

  private:
    QRadioButton* m_options[3] = {};
};

}  // namespace qavix
