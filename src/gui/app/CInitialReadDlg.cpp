#include "app/CInitialReadDlg.h"

#include <algorithm>

#include <QCoreApplication>
#include <QVBoxLayout>

#include "frame/CProgressDlg.h"

namespace qavix {

namespace {

constexpr const char* kBrightStyle = "color: rgb(0,200,0);";
constexpr const char* kDarkStyle = "color: rgb(0,100,0);";

}  // namespace

CInitialReadDlg::CInitialReadDlg(std::function<bool()> read, int startDelayMs, int blinkMs,
                                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      m_read(std::move(read)) {
    setObjectName("CInitialReadDlg");
    setWindowTitle("Qavix");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(
        QCoreApplication::translate("qavix::CProgressDlg", CProgressDlg::kReadingText), this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setFont(QFont("Noto Sans CJK JP", 11, QFont::Bold));
    m_text->setStyleSheet(kBrightStyle);
    m_text->setMinimumSize(260, 90);
    layout->addWidget(m_text);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName("progressBar");
    m_bar->setAccessibleName(tr("進行状況"));
    m_bar->setFormat("%v / %m");
    m_bar->setRange(0, 0);
    layout->addWidget(m_bar);

    m_readTimer.setSingleShot(true);
    m_readTimer.setInterval(startDelayMs);
    connect(&m_readTimer, &QTimer::timeout, this, &CInitialReadDlg::runRead);
    m_blinkTimer.setInterval(blinkMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CInitialReadDlg::toggleBlink);
}

int CInitialReadDlg::startDelay(bool splashOn, bool commSettingsUsed, int splashWaitMs,
                                int readDelayMs) {
    return (splashOn && !commSettingsUsed ? splashWaitMs : 0) + readDelayMs;
}

void CInitialReadDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        raise();
        m_blinkTimer.start();
        m_readTimer.start();
    }
}

void CInitialReadDlg::setProgress(int done, int total) {
    m_bar->setRange(0, std::max(total, 1));
    m_bar->setValue(std::clamp(done, 0, std::max(total, 1)));
}

void CInitialReadDlg::toggleBlink() {
    m_bright = !m_bright;
    m_text->setStyleSheet(m_bright ? kBrightStyle : kDarkStyle);
}

void CInitialReadDlg::runRead() {
    m_succeeded = m_read ? m_read() : false;
    m_blinkTimer.stop();
    accept();
}

}  // namespace qavix
