#pragma once
// A status bar whose panes carry their own text and background colours: pane 0 is the
// message line that stretches, panes 1 to 3 are fixed-width centred panes.

#include <QColor>
#include <QLabel>
#include <QStatusBar>
#include <array>

namespace qavix {

class CColorStatusBar : public QStatusBar {
    Q_OBJECT
  public:
    static constexpr int kPaneCount = 4;

    explicit CColorStatusBar(QWidget* parent = nullptr);

    // Pane 0..3. A width of 0 keeps the pane's width.
    void setPane(int pane, const QString& text, int width, const QColor& textColour,
                 const QColor& back);
    void setPaneText(int pane, const QString& text);
    QLabel* pane(int index) const { return m_panes.at(static_cast<size_t>(index)); }

  signals:
    void paneDoubleClicked(int pane);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::array<QLabel*, kPaneCount> m_panes{};
};

}  // namespace qavix
