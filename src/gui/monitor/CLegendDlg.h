#pragma once
// The small modeless window that explains the chart's colours. Its boxes take the display
// colours each time it is opened or refreshed, so a colour changed in the environment
// settings shows the next time.

#include <QDialog>
#include <QLabel>
#include <array>

#include "files/AppSettings.h"

namespace qavix {

class CLegendDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kEntryCount = 6;

    explicit CLegendDlg(const AppSettings& user, QWidget* parent = nullptr);

    // Takes the colours again.
    void refresh();
    QColor boxColour(int entry) const;
    QString entryText(int entry) const;
    // The beam pages name and colour the blanked-beam entry after what they pick.
    void setEntry(int entry, const QString& text, ColorIndex colour);

    // Opens the window, or refreshes and raises the one already open.
    static CLegendDlg* showFor(CLegendDlg*& open, const AppSettings& user, QWidget* parent);

  private:
    const AppSettings& m_user;
    std::array<QLabel*, kEntryCount> m_boxes{};
    std::array<QLabel*, kEntryCount> m_texts{};
    std::array<ColorIndex, kEntryCount> m_colours{};
};

}  // namespace qavix
