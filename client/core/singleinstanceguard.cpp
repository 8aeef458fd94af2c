#include "singleinstanceguard.h"

#include <QDebug>
#include <QLocalServer>
#include <QLocalSocket>

namespace OrvantaClient::App {

SingleInstanceGuard::SingleInstanceGuard(QObject* parent)
    : QObject(parent)
{
}

bool SingleInstanceGuard::check(const QString& key, int timeoutMs)
{
    {
        QLocalSocket socket;
        socket.connectToServer(key, QIODevice::ReadWrite);
        if (socket.waitForConnected(timeoutMs)) {
            // Nothing is sent: the connection itself is the knock.
            socket.abort();
            return true;
        }
    }

    delete m_server;
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::takeConnection);
    if (!m_server->listen(key)) {
        if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
            // Left behind by a process that died: nobody answered above.
            QLocalServer::removeServer(key);
            if (!m_server->listen(key))
                qWarning() << "Cannot listen for other instances:" << m_server->errorString();
        } else {
            qWarning() << "Cannot listen for other instances:" << m_server->errorString();
        }
    }
    return false;
}

bool SingleInstanceGuard::isListening() const
{
    return m_server && m_server->isListening();
}

void SingleInstanceGuard::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection())
        socket->deleteLater();
    emit anotherLaunch();
}

} // namespace OrvantaClient::App
