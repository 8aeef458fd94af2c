#include "singleinstanceguard.h"

#include <QDebug>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>

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

bool SingleInstanceGuard::handOver(const QString& program, const QStringList& arguments, qint64* pid)
{
    if (m_server) {
        // close() also removes the socket's name, so the successor's knock finds nobody.
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    const bool started = QProcess::startDetached(program, arguments, QString(), pid);
    if (!started)
        qWarning() << "Cannot start the program again:" << program;
    return started;
}

void SingleInstanceGuard::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection())
        socket->deleteLater();
    emit anotherLaunch();
}

} // namespace OrvantaClient::App
