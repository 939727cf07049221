#include "app/SingleInstance.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalSocket>

namespace qavix {

namespace {

constexpr int kConnectWaitMs = 500;
constexpr const char kRaiseMessage[] = "raise\n";

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), m_name(name) {
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

QString SingleInstance::defaultName() {
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return base + "-" + QString::number(getuid());
}

bool SingleInstance::claim() {
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(kConnectWaitMs)) {
        probe.write(kRaiseMessage);
        probe.waitForBytesWritten(kConnectWaitMs);
        probe.disconnectFromServer();
        return false;
    }
    // Nobody answers: a socket file left by a crashed instance must not lock us out.
    QLocalServer::removeServer(m_name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    // A server that cannot listen only means later starts will not find this one.
    m_server.listen(m_name);
    return true;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().startsWith("raise")) {
                emit raiseRequested();
            }
            socket->disconnectFromServer();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace qavix
