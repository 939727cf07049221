#pragma once
// Desktop notifications over D-Bus (org.freedesktop.Notifications on the session bus). The
// call never waits for an answer, and a desktop without a notification service, or no
// session bus at all, gets nothing: the plant window marks its rows all the same.

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace qavix {

class DesktopNotifier : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";

    explicit DesktopNotifier(QDBusConnection bus = QDBusConnection::sessionBus(),
                             QObject* parent = nullptr);

    // `urgent`: the notification stays until dismissed where the desktop supports it;
    // `sound`: the desktop is asked to sound it.
    void notify(const QString& summary, const QString& body, bool urgent, bool sound);
    int sent() const { return m_sent; }

  private:
    QDBusConnection m_bus;
    int m_sent = 0;
};

}  // namespace qavix
