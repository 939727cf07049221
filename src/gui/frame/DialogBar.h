#pragma once
// Common ground of the three bars: they dock at the top only and ignore clicks on the bar
// itself (which would drag or float it) while the program is busy.

#include <QStyle>
#include <QToolBar>
#include <functional>

namespace qavix {

class CPictureButton;

// A bar's title as the View menu names it ("ﾂｰﾙ ﾊﾞｰ"): what a screen reader calls the bar
// and what its window shows when it floats.
QString barTitle(int showCommand);

class DialogBar : public QToolBar {
    Q_OBJECT
  public:
    // The accessible name of the button that opens the controls a narrow window cuts off.
    static constexpr const char* kMoreButtonName =
        QT_TRANSLATE_NOOP("qavix::DialogBar", "ツールバーの続き");

    DialogBar(const QString& objectName, const QString& title, QWidget* parent = nullptr);

    void setBusyQuery(std::function<bool()> busy) { m_busy = std::move(busy); }

    // Floats the bar as a tool window at `topLeft` (screen coordinates).
    void floatAt(const QPoint& topLeft);

  protected:
    bool event(QEvent* event) override;
    // A picture button with its text under its icon, added at the end of the bar.
    CPictureButton* addPictureButton(const QString& text, QStyle::StandardPixmap icon,
                                     const QString& tip = QString());

  private:
    std::function<bool()> m_busy;
};

}  // namespace qavix
