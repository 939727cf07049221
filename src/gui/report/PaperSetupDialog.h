#pragma once
// Paper size and orientation for a printer the system's page set-up cannot handle: the PDF
// printer that stands in when no printer is installed.

#include <QComboBox>
#include <QDialog>
#include <QPrinter>

namespace qavix {

class PaperSetupDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PaperSetupDialog(QPrinter& printer, QWidget* parent = nullptr);

    QComboBox* paperBox() const { return m_paper; }
    QComboBox* orientationBox() const { return m_orientation; }

    // Gives the printer the chosen paper and orientation.
    void accept() override;

  private:
    QPrinter& m_printer;
    QComboBox* m_paper = nullptr;
    QComboBox* m_orientation = nullptr;
};

}  // namespace qavix
