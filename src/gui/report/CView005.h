#pragma once
// The settings-list page (page 7): every setting of the working set as the plain-text
// report, in a fixed-pitch font so its columns line up, with the blocks its command bar
// selects. Saves the report as a Shift-JIS text file and prints it, with preview and page
// set-up, through the main frame's print commands.

#include <QPlainTextEdit>
#include <memory>

#include "pages/PageBase.h"
#include "pages/PrintTarget.h"
#include "report/SettingsReport.h"

class QPrinter;

namespace qavix {

class CView005 : public PageBase, public PrintTarget {
    Q_OBJECT
  public:
    static constexpr int kTextControlId = 1064;

    explicit CView005(const PageContext& context, QWidget* parent = nullptr);
    ~CView005() override;

    void pageShown(const QString& title) override;

    // The blocks shown; the first showing picks the controller and every connected sensor.
    const report::ReportSelection& selection() const { return m_selection; }
    void setSelection(const report::ReportSelection& selection);
    // Builds the report again from the working set, dated now.
    void rebuild();

    // The report as shown and saved: lines joined with CR LF.
    const std::string& reportText() const { return m_text; }
    const report::ReportLines& reportLines() const { return m_lines; }
    QPlainTextEdit* textView() const { return m_view; }

    // "保存": the save dialog, then saveTextTo.
    void saveText();
    // Writes the report to `path` in Shift-JIS; a failure is shown. True when written.
    bool saveTextTo(const QString& path);

    void print() override;
    void printPreview() override;
    void printSetup() override;
    // The printer print, preview and set-up share, so a set-up holds for the next print.
    QPrinter& printer();

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    // The identification of the controller and its sensors for the current values; false
    // after a failed request (the message is shown and the report shows what the working
    // set holds).
    bool readIdentity();

    QPlainTextEdit* m_view = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    report::ReportSelection m_selection;
    bool m_selectionChosen = false;
    report::ReportLines m_lines;
    std::string m_text;
};

}  // namespace qavix
