#include "frame/CProgressDlg.h"

#include <algorithm>

#include <QEvent>
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
    m_text = new QLabel(tr(kReadingText), this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setFont(QFont("Noto Sans CJK JP", 11, QFont::Bold));
    m_text->setMinimumSize(260, 90);
    m_text->setStyleSheet(kBrightStyle);
    layout->addWidget(m_text);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName("progressBar");
    m_bar->setAccessibleName(tr("進行状況"));
    m_bar->setFormat("%v / %m");
    layout->addWidget(m_bar);
    m_blink.setInterval(blinkMs);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_bright = !m_bright;
        m_text->setStyleSheet(m_bright ? kBrightStyle : kDarkStyle);
    });
}

void CProgressDlg::showKind(Kind kind) {
    m_text->setText(kind == Writing ? tr(kWritingText) : tr(kReadingText));
    m_bar->setRange(0, 0);
    show();
    raise();
    m_blink.start();
}

void CProgressDlg::setProgress(int done, int total) {
    m_bar->setRange(0, std::max(total, 1));
    m_bar->setValue(std::clamp(done, 0, std::max(total, 1)));
}

void CProgressDlg::closeWindow() {
    m_blink.stop();
    const bool wasActive = isActiveWindow();
    hide();
    if (wasActive) {
        returnActivation();
    }
}

void CProgressDlg::returnActivation() {
    // Without a window manager to step in, the window the user works in would stay
    // inactive, its focus nowhere, and the keys lost until a click.
    if (parentWidget() != nullptr && parentWidget()->isVisible()) {
        parentWidget()->activateWindow();
    }
}

void CProgressDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // The window system may deliver the activation of a short wait after it has closed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isVisible()) {
        returnActivation();
    }
}

}  // namespace qavix
