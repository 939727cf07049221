#include "app/QtCommHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace qavix {

namespace {

constexpr auto kAnswerPollSlice = std::chrono::milliseconds(50);
constexpr const char* kBoxTitle = "Qavix";

struct PendingCall {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    bool result = false;
};

}  // namespace

QtCommHost::QtCommHost(QObject* parent) : QObject(parent) {}

QtCommHost::~QtCommHost() {
    m_closing = true;
}

bool QtCommHost::onUiThread() const {
    return QThread::currentThread() == thread();
}

bool QtCommHost::callOnUi(const std::function<bool()>& fn, bool fallback) {
    if (m_closing) {
        return fallback;
    }
    if (onUiThread()) {
        return fn();
    }
    auto pending = std::make_shared<PendingCall>();
    QMetaObject::invokeMethod(
        this,
        [this, pending, fn, fallback] {
            const bool result = m_closing ? fallback : fn();
            std::lock_guard<std::mutex> lock(pending->mutex);
            pending->result = result;
            pending->done = true;
            pending->answered.notify_all();
        },
        Qt::QueuedConnection);
    // Waits in slices rather than blocking outright: when the program ends meanwhile the
    // UI thread stops answering and the worker must still come back.
    std::unique_lock<std::mutex> lock(pending->mutex);
    while (!pending->done) {
        if (m_closing) {
            return fallback;
        }
        pending->answered.wait_for(lock, kAnswerPollSlice);
    }
    return pending->result;
}

void QtCommHost::showBox(const std::string& text) {
    m_filter.pause();
    QMessageBox::warning(m_dialogParent, kBoxTitle, QString::fromStdString(text));
    m_filter.resume();
}

bool QtCommHost::askBox(const std::string& text) {
    m_filter.pause();
    const auto answer =
        QMessageBox::question(m_dialogParent, kBoxTitle, QString::fromStdString(text),
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    m_filter.resume();
    return answer == QMessageBox::Ok;
}

void QtCommHost::beep() {
    QApplication::beep();
}

void QtCommHost::showMessage(const std::string& text) {
    callOnUi(
        [this, text] {
            showBox(text);
            return true;
        },
        true);
}

void QtCommHost::showLostMessage(const std::string& text) {
    callOnUi(
        [this, text] {
            m_filter.pause();
            QMessageBox box(QMessageBox::Warning, kBoxTitle, QString::fromStdString(text),
                            QMessageBox::Ok, m_dialogParent);
            QPushButton* reconnect = box.addButton(tr(kReconnectText), QMessageBox::AcceptRole);
            reconnect->setToolTip(tr("Qavix を同じ引数と作業フォルダで起動し直します"));
            box.setDefaultButton(QMessageBox::Ok);
            box.exec();
            m_restart = box.clickedButton() == reconnect;
            m_filter.resume();
            return true;
        },
        true);
}

bool QtCommHost::ask(Question /*question*/, const std::string& text) {
    return callOnUi([this, text] { return askBox(text); }, false);
}

void QtCommHost::runCommSettings() {
    callOnUi(
        [this] {
            if (m_commSettings) {
                m_filter.pause();
                m_commSettings();
                m_filter.resume();
            }
            return true;
        },
        true);
}

void QtCommHost::endProgram() {
    if (m_endPosted.exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { emit endRequested(); }, Qt::QueuedConnection);
}

void QtCommHost::runOnUiThread(const std::function<void()>& fn) {
    callOnUi(
        [fn] {
            fn();
            return true;
        },
        true);
}

void QtCommHost::pumpEvents(bool busy) {
    m_filter.pump(busy);
}

void QtCommHost::setTraceSink(TraceSink sink) {
    m_traceSink = std::move(sink);
    m_tracing = static_cast<bool>(m_traceSink);
}

void QtCommHost::recordTrace(const std::string& sent, const std::string& received) {
    if (!m_tracing) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, sent, received] {
            if (m_traceSink && !m_closing) {
                m_traceSink(sent, received);
            }
        },
        Qt::QueuedConnection);
}

}  // namespace qavix
