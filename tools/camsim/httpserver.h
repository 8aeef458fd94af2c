#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <functional>

class QTcpSocket;

namespace Camsim {

// One request as it arrived.
struct Request
{
    QByteArray method;
    QByteArray target;  // path and query exactly as sent
    QByteArray path;    // with runs of "/" collapsed (clients send "//layouts" too)
    QList<QPair<QString, QString>> query; // decoded, in order
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QString queryValue(const QString& key) const;
    bool hasQueryItem(const QString& key) const;
    QByteArray header(const QByteArray& name) const;
    // The body read as a form (key=value&...), decoded.
    QList<QPair<QString, QString>> form() const;
    static QString formValue(const QList<QPair<QString, QString>>& form, const QString& key);
};

// What to do with a request.
struct Response
{
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body;
    // A streamed answer: the header goes out without a length, then the
    // callback owns the socket until it closes it.
    std::function<void(QTcpSocket*)> stream;
    // Written after the usual ones; a streamed answer may claim its length here.
    QList<QPair<QByteArray, QByteArray>> headers;

    static Response json(const QByteArray& body, int status = 200) { return {status, "application/json", body, {}, {}}; }
};

// A small HTTP/1.1 server: one request per connection, answered whole or
// streamed. Faults (delays, stalls, refusals) are applied by the owner through
// the hooks below.
class HttpServer : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<Response(const Request&)>;

    explicit HttpServer(const QString& name, QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const { return m_port; }
    QString name() const { return m_name; }
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // Refuse connections (stop listening) or accept them again.
    void setRefusing(bool refusing);
    void setDelay(int milliseconds) { m_delay = milliseconds; }
    void setStalling(bool stalling) { m_stalling = stalling; }

signals:
    void requestReceived(const Camsim::Request& request);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Response& response);

    QString m_name;
    QTcpServer m_server;
    quint16 m_port = 0;
    Handler m_handler;
    int m_delay = 0;
    bool m_stalling = false;
};

} // namespace Camsim
