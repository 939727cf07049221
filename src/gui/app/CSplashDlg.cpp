#include "app/CSplashDlg.h"

#include <QFont>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace qavix {

namespace {

constexpr const char* kSplashResource = ":/splash.gif";

}  // namespace

CSplashDlg::CSplashDlg(int splashTimeMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_timeMs(splashTimeMs) {
    setObjectName("CSplashDlg");
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setStyleSheet("background-color: rgb(16,24,48); color: rgb(220,228,245);");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    auto* title = new QLabel("Qavix", this);
    QFont titleFont("Noto Sans CJK JP", 22, QFont::Bold);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel(tr("エリアスキャナ設定・モニタツール"), this);
    subtitle->setFont(QFont("Noto Sans CJK JP", 9));
    subtitle->setAlignment(Qt::AlignCenter);
    m_picture = new QLabel(this);
    m_picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    layout->addWidget(m_picture);
    layout->addWidget(subtitle);

    m_movie.setFileName(kSplashResource);
    m_movie.setCacheMode(QMovie::CacheAll);
    m_picture->setMovie(&m_movie);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::close);
}

void CSplashDlg::start() {
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    raise();
    m_movie.start();
    m_timer.start(m_timeMs);
}

void CSplashDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
}

void CSplashDlg::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
    }
}

void CSplashDlg::mouseReleaseEvent(QMouseEvent* /*event*/) {
    m_dragging = false;
}

}  // namespace qavix
