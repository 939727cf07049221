#include "frame/CDebugView.h"

#include <QScrollBar>

namespace qavix {

CDebugView::CDebugView(std::function<bool()> busy, QWidget* parent)
    : QPlainTextEdit(parent), m_busy(std::move(busy)) {
    setObjectName("CDebugView");
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFont("Noto Sans Mono CJK JP", 9));
}

void CDebugView::addLine(const std::string& frameText, TraceLog::Direction direction) {
    m_log.addLine(frameText, direction);
    refresh();
}

void CDebugView::recordExchange(const std::string& sent, const std::string& received) {
    m_log.recordExchange(sent, received);
    refresh();
}

void CDebugView::refresh() {
    const bool reduced = m_hold || (m_busy && m_busy());
    std::string text = m_log.displayText(reduced, viewport()->height());
    // The view shows lines; the CR LF of the text form is the file convention.
    QString shown = QString::fromStdString(text);
    shown.replace("\r\n", "\n");
    if (shown.endsWith('\n')) {
        shown.chop(1);
    }
    setPlainText(shown);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

}  // namespace qavix
