#pragma once
// Asked when a bank with applied but unwritten edits would be left: write it to the
// controller, save it to a file, or discard the edits.

#include <QDialog>
#include <QRadioButton>
#include <functional>

namespace qavix {

class AppState;

class CBankEditDlg : public QDialog {
    Q_OBJECT
  public:
    enum Choice { WriteToController = 0, SaveToFile = 1, Discard = 2 };

    // Carries out a choice; false keeps the dialog open (a cancelled save to a file).
    using Executor = std::function<bool(Choice)>;

    // Saving to a file is offered only when the program is closing. `state` gives the
    // buttons' texture (none: the plain one).
    CBankEditDlg(int bank, bool switching, Executor execute, const AppState* state,
                 QWidget* parent = nullptr);

    Choice choice() const;
    QRadioButton* option(Choice c) const { return m_options[c]; }

    // "実行": the chosen action first; the dialog closes with OK only when it went through.
    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QRadioButton* m_options[3] = {};
    Executor m_execute;
};

}  // namespace qavix
