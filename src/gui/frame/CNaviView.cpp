#include "frame/CNaviView.h"

namespace qavix {

namespace {

QString headingFor(int kind) {
    if (kind == 0) {
        return "コントローラ";
    }
    if (kind >= 1 && kind <= kChannelCount) {
        return "センサ";
    }
    static const char* kBankHeadings[] = {"Ｂａｎｋ１", "Ｂａｎｋ２", "Ｂａｎｋ３", "Ｂａｎｋ４"};
    const int bank = kind - 3;
    return (bank >= 1 && bank <= kBankCount) ? kBankHeadings[bank - 1] : QString();
}

}  // namespace

CNaviView::CNaviView(std::function<nav::TreeShape()> shape, QWidget* parent)
    : QScrollArea(parent), m_shape(std::move(shape)) {
    setObjectName("CNaviView");
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_board = new QWidget(this);
    m_board->setObjectName("naviBoard");
    m_board->setStyleSheet("#naviBoard { background-color: rgb(255,255,255); }");
    m_layout = new QVBoxLayout(m_board);
    m_layout->setContentsMargins(24, 20, 24, 20);
    m_layout->setSpacing(6);
    m_heading = new QLabel(m_board);
    m_heading->setFont(QFont("Noto Sans CJK JP", 12, QFont::Bold));
    m_heading->setStyleSheet("background-color: rgb(188,223,204); padding: 4px 10px;");
    m_layout->addWidget(m_heading);
    m_layout->addStretch(1);
    setWidget(m_board);
}

void CNaviView::setNavigationKind(int kind) {
    m_kind = kind;
    for (QLabel* l : m_labels) {
        m_layout->removeWidget(l);
        delete l;
    }
    m_labels.clear();
    m_heading->setText(headingFor(kind));
    const nav::TreeShape shape = m_shape ? m_shape() : nav::TreeShape{};
    int at = 1;
    for (const std::string& text : nav::navigationLabels(shape, kind)) {
        auto* label = new QLabel(QString::fromStdString(text), m_board);
        label->setFont(QFont("Noto Sans CJK JP", 10));
        label->setStyleSheet(
            "color: rgb(0,0,255); background-color: rgb(252,255,204); padding: 3px 10px;");
        label->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
        m_layout->insertWidget(at++, label);
        m_labels.append(label);
    }
}

QStringList CNaviView::labels() const {
    QStringList out;
    for (const QLabel* l : m_labels) {
        out << l->text();
    }
    return out;
}

}  // namespace qavix
