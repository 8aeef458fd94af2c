#pragma once

#include <QByteArray>
#include <QTcpServer>

// Serves one body for every GET on 127.0.0.1, for libvlc's HTTP access; with a
// pace, in that many pieces one interval apart, as a slow archive does.
class LoopbackHttpServer : public QTcpServer
{
    Q_OBJECT
public:
    explicit LoopbackHttpServer(const QByteArray& body, int pieces = 1, int intervalMs = 0);

    QString url(const QString& path = QStringLiteral("/stream.flv")) const;

private:
    void answer();

    QByteArray body;
    int pieces;
    int intervalMs;
};
