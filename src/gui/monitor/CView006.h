#pragma once
// The error log page (page 8): the controller's twenty error history entries, read under
// the wait window every time the page is shown, with decoded texts and serial numbers, and
// saved as "Error.csv" through the command bar's "保存". The rows, texts and CSV are the
// core's, the same the command-line client prints.

#include <QTableWidget>

#include "model/ErrorLog.h"
#include "pages/PageBase.h"

namespace qavix {

class CView006 : public PageBase {
    Q_OBJECT
  public:
    static constexpr int kColumnCount = 5;
    static constexpr int kListTop = 30;
    static constexpr int kListHeight = 280;

    explicit CView006(const PageContext& context, QWidget* parent = nullptr);

    void pageShown(const QString& title) override;

    // Reads the twenty entries; false after a failed request (the message is shown and the
    // rows not yet read keep what they showed).
    bool readHistory();

    const ErrorLogRows& rows() const { return m_rows; }
    QTableWidget* table() const { return m_table; }

    // "保存": the save dialog, then saveCsvTo.
    void saveCsv();
    // Writes the header and the twenty lines in Shift-JIS; a failure is shown.
    bool saveCsvTo(const QString& path);

    // Column widths for a page `width` pixels wide.
    static std::array<int, kColumnCount> columnWidths(int width);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void showRow(int k);
    void layOut();

    WeekdayNames m_weekdays;  // the date column's, from the desktop's locale
    QTableWidget* m_table = nullptr;
    ErrorLogRows m_rows;
};

}  // namespace qavix
