#include "widgets/CounterLine.h"

#include <QEvent>
#include <QPainter>

namespace qavix {

namespace {

constexpr int kPadding = 2;

}  // namespace

CounterLine::CounterLine(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
}

void CounterLine::setText(const QString& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    setAccessibleName(text);
    update();
}

QSize CounterLine::sizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 40, fontMetrics().height() + 2 * kPadding);
}

QSize CounterLine::minimumSizeHint() const {
    return QSize(0, sizeHint().height());
}

void CounterLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect().adjusted(kPadding, 0, -kPadding, 0),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

void CounterLine::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        setFixedHeight(sizeHint().height());
    }
}

}  // namespace qavix
