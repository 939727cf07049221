#include "frame/DesktopNotifier.h"

#include <QDBusMessage>
#include <QVariantMap>

namespace qavix {

namespace {

constexpr uchar kUrgencyNormal = 1;
constexpr uchar kUrgencyCritical = 2;
constexpr int kServerDecidesTimeout = -1;

}  // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

void DesktopNotifier::notify(const QString& summary, const QString& body, bool urgent, bool sound) {
    if (!m_bus.isConnected()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
    QVariantMap hints;
    hints.insert("urgency", QVariant::fromValue(urgent ? kUrgencyCritical : kUrgencyNormal));
    hints.insert("desktop-entry", QStringLiteral("qavix"));
    if (sound) {
        hints.insert("sound-name", QStringLiteral("dialog-warning"));
    } else {
        hints.insert("suppress-sound", true);
    }
    call << QStringLiteral("Qavix") << 0u << QStringLiteral("qavix") << summary << body
         << QStringList() << hints << kServerDecidesTimeout;
    // No answer is awaited: a desktop without the service answers with an error nobody needs.
    if (m_bus.send(call)) {
        ++m_sent;
    }
}

}  // namespace qavix
