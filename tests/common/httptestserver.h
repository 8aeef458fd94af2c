#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QJsonDocument>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>
#include <functional>

class QTcpSocket;

// A small HTTP/1.1 server on loopback for tests. It records every request as it
// arrived on the wire and answers from a script:
//
//     HttpTestServer server;
//     server.enqueue(HttpTestServer::Response::json(200, R"({"success":true})"));
//     server.setHandler([](const HttpTestServer::Request& r) { return ...; });
//
// Queued answers are used first, in order; then the handler; then 404.
class HttpTestServer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // the request target exactly as sent: path and query
        QByteArray path;   // the target up to "?"
        QList<QPair<QByteArray, QByteArray>> query; // items in order, still percent-encoded
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;

        // First header of that name (case-insensitive), or a null array.
        QByteArray header(const QByteArray& name) const;
        // First query item of that key, percent-decoded.
        QString queryValue(const QByteArray& key) const;
        QStringList queryKeys() const;
    };

    struct Response
    {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        int delayMs = 0;          // answer only after this long
        bool neverAnswer = false; // keep the connection open and silent

        static Response json(int status, const QByteArray& body);
        static Response raw(int status, const QByteArray& body, const QByteArray& contentType);
        static Response redirect(int status, const QByteArray& location);
        static Response silent();
    };

    using Handler = std::function<Response(const Request&)>;

    explicit HttpTestServer(QObject* parent = nullptr);

    quint16 port() const { return m_port; }
    QUrl url() const;

    void enqueue(const Response& response) { m_queue.append(response); }
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // Stops listening, so that connections are refused, or listens again on
    // the same port.
    bool setRefusing(bool refusing);

    const QList<Request>& requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

signals:
    void requestReceived();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Response& response);

    QTcpServer m_server;
    quint16 m_port = 0;
    QList<Request> m_requests;
    QList<Response> m_queue;
    Handler m_handler;
};
