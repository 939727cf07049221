#include "frame/CProgressDlg.h"

#include <QVBoxLayout>

namespace qavix {

namespace {

constexpr const char* kBrightStyle = "color: rgb(0,0,200);";
constexpr const char* kDarkStyle = "color: rgb(0,0,90);";

}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent, int blinkMs)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("CProgressDlg");
    setWindowTitle("Qavix");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(kReadingText, this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setFont(QFont("Noto Sans CJK JP", 11, QFont::Bold));
    m_text->setMinimumSize(260, 90);
    m_text->setStyleSheet(kBrightStyle);
    layout->addWidget(m_text);
    m_blink.setInterval(blinkMs);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_bright = !m_bright;
        m_text->setStyleSheet(m_bright ? kBrightStyle : kDarkStyle);
    });
}

void CProgressDlg::showKind(Kind kind) {
    m_text->setText(kind == Writing ? kWritingText : kReadingText);
    show();
    raise();
    m_blink.start();
}

void CProgressDlg::closeWindow() {
    m_blink.stop();
    hide();
}

}  // namespace qavix
