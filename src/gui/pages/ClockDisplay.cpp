#include "pages/ClockDisplay.h"

namespace qavix {

namespace {

const QColor kShownColour(0, 255, 0);
const QColor kBlankColour(0, 0, 0);
constexpr int kMinimumWidth = 220;
constexpr int kMinimumHeight = 36;
constexpr int kFontPoints = 14;

}  // namespace

ClockDisplay::ClockDisplay(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
    setAlignment(Qt::AlignCenter);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setFont(QFont("Noto Sans Mono CJK JP", kFontPoints, QFont::Bold));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette p = palette();
    p.setColor(QPalette::Window, kBlankColour);
    p.setColor(QPalette::WindowText, kBlankColour);
    setPalette(p);
}

void ClockDisplay::showValue(const QString& text) {
    if (!m_hasValue) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, kShownColour);
        setPalette(p);
        m_hasValue = true;
    }
    setText(text);
}

QColor ClockDisplay::textColour() const {
    return palette().color(QPalette::WindowText);
}

}  // namespace qavix
