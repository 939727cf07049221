#include "app/RequestWaitFilter.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace qavix {

namespace {

bool isButtonOrWheel(QEvent::Type t) {
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
           t == QEvent::MouseButtonDblClick || t == QEvent::Wheel;
}

bool isLeftButtonEvent(const QEvent* e) {
    const QEvent::Type t = e->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease &&
        t != QEvent::MouseButtonDblClick) {
        return false;
    }
    return static_cast<const QMouseEvent*>(e)->button() == Qt::LeftButton;
}

}  // namespace

RequestWaitFilter::RequestWaitFilter(QObject* parent) : QObject(parent) {
    m_replay.setInterval(0);
    connect(&m_replay, &QTimer::timeout, this, [this] {
        // The timer also fires inside the wait's own event slices; only after the wait.
        if (!m_pumping) {
            m_replay.stop();
            replayHeld();
        }
    });
}

RequestWaitFilter::~RequestWaitFilter() {
    if (m_installed && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

void RequestWaitFilter::pump(bool busy) {
    if (!m_installed) {
        QCoreApplication::instance()->installEventFilter(this);
        m_installed = true;
    }
    const bool wasPumping = m_pumping;
    m_pumping = true;
    m_busy = busy;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_pumping = wasPumping;
}

bool RequestWaitFilter::eventFilter(QObject* watched, QEvent* event) {
    if (!m_pumping || m_paused > 0 || !watched->isWidgetType()) {
        return false;
    }
    if (m_busy) {
        return isLeftButtonEvent(event);
    }
    if (isButtonOrWheel(event->type())) {
        m_held.push_back({QPointer<QObject>(watched), std::unique_ptr<QEvent>(event->clone())});
        m_replay.start();
        return true;
    }
    return false;
}

void RequestWaitFilter::replayHeld() {
    std::vector<Held> held;
    held.swap(m_held);
    for (Held& h : held) {
        if (h.receiver) {
            QCoreApplication::postEvent(h.receiver, h.event.release());
        }
    }
}

}  // namespace qavix
