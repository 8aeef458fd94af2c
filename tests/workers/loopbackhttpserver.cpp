#include "loopbackhttpserver.h"

#include <QTcpSocket>
#include <QTimer>

LoopbackHttpServer::LoopbackHttpServer(const QByteArray& body, int pieces, int intervalMs)
    : body(body)
    , pieces(qMax(1, pieces))
    , intervalMs(intervalMs)
{
    connect(this, &QTcpServer::newConnection, this, &LoopbackHttpServer::answer);
    listen(QHostAddress::LocalHost);
}

QString LoopbackHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
}

void LoopbackHttpServer::answer()
{
    while (QTcpSocket* socket = nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            *request += socket->readAll();
            if (!request->contains("\r\n\r\n"))
                return;
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: video/x-flv\r\nContent-Length: "
                          + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n");
            request->clear();
            const int pieceSize = (body.size() + pieces - 1) / pieces;
            for (int piece = 0; piece < pieces; ++piece) {
                QTimer::singleShot(piece * intervalMs, socket, [this, socket, piece, pieceSize] {
                    socket->write(body.mid(piece * pieceSize, pieceSize));
                    if (piece == pieces - 1)
                        socket->disconnectFromHost();
                });
            }
        });
    }
}
