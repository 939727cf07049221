#pragma once
// One program per user: the first instance listens on a local socket named after the
// executable's base name and the user; a later start connects to it, asks it to come to the
// front and ends.

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace qavix {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // The socket name for this executable and user.
    static QString defaultName();

    // True: this is the first instance and now listens. False: another instance runs and
    // has been asked to come to the front.
    bool claim();

  signals:
    // Another start asked this instance to raise and activate its window.
    void raiseRequested();

  private:
    void onNewConnection();

    QString m_name;
    QLocalServer m_server;
};

}  // namespace qavix
