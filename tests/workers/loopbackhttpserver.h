#pragma once

#include <QByteArray>
#include <QTcpServer>

// Serves one body for every GET on 127.0.0.1, for libvlc's HTTP access.
class LoopbackHttpServer : public QTcpServer
{
    Q_OBJECT
public:
    explicit LoopbackHttpServer(const QByteArray& body, const QByteArray& contentType = "video/x-flv");

    QString url(const QString& path = QStringLiteral("/stream.flv")) const;

private:
    void answer();

    QByteArray body;
    QByteArray contentType;
};
