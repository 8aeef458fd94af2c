#include "httptestserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

QByteArray HttpTestServer::Request::header(const QByteArray& name) const
{
    for (const auto& header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return QByteArray();
}

QString HttpTestServer::Request::queryValue(const QByteArray& key) const
{
    for (const auto& item : query) {
        if (item.first == key)
            return QString::fromUtf8(QByteArray::fromPercentEncoding(item.second));
    }
    return QString();
}

QStringList HttpTestServer::Request::queryKeys() const
{
    QStringList keys;
    for (const auto& item : query)
        keys << QString::fromUtf8(item.first);
    return keys;
}

HttpTestServer::Response HttpTestServer::Response::json(int status, const QByteArray& body)
{
    return raw(status, body, "application/json");
}

HttpTestServer::Response HttpTestServer::Response::raw(int status, const QByteArray& body,
                                                       const QByteArray& contentType)
{
    Response response;
    response.status = status;
    response.body = body;
    response.headers.append({"Content-Type", contentType});
    return response;
}

HttpTestServer::Response HttpTestServer::Response::redirect(int status, const QByteArray& location)
{
    Response response;
    response.status = status;
    response.headers.append({"Location", location});
    return response;
}

HttpTestServer::Response HttpTestServer::Response::silent()
{
    Response response;
    response.neverAnswer = true;
    return response;
}

HttpTestServer::HttpTestServer(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestServer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
    m_port = m_server.serverPort();
}

bool HttpTestServer::setRefusing(bool refusing)
{
    if (refusing) {
        m_server.close();
        return true;
    }
    return m_server.isListening() || m_server.listen(QHostAddress::LocalHost, m_port);
}

QUrl HttpTestServer::url() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port());
    return url;
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpTestServer::onReadyRead(QTcpSocket* socket)
{
    // Everything read so far on this connection, until a whole request is in.
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        socket->setProperty("buffer", buffer);
        return;
    }
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    Request request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    const int question = request.target.indexOf('?');
    request.path = question < 0 ? request.target : request.target.left(question);
    if (question >= 0) {
        for (const QByteArray& item : request.target.mid(question + 1).split('&')) {
            const int equals = item.indexOf('=');
            request.query.append(equals < 0 ? qMakePair(item, QByteArray())
                                            : qMakePair(item.left(equals), item.mid(equals + 1)));
        }
    }
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const int length = request.header("Content-Length").toInt();
    if (buffer.size() < headerEnd + 4 + length) {
        socket->setProperty("buffer", buffer);
        return;
    }
    request.body = buffer.mid(headerEnd + 4, length);
    socket->setProperty("buffer", QByteArray());

    m_requests.append(request);
    Response response;
    if (!m_queue.isEmpty())
        response = m_queue.takeFirst();
    else if (m_handler)
        response = m_handler(request);
    else
        response = Response::json(404, R"({"error":"no answer scripted"})");
    emit requestReceived();

    if (response.neverAnswer)
        return;
    if (response.delayMs > 0) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(response.delayMs, this, [this, guarded, response] {
            if (guarded)
                answer(guarded, response);
        });
        return;
    }
    answer(socket, response);
}

void HttpTestServer::answer(QTcpSocket* socket, const Response& response)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " Scripted\r\n";
    for (const auto& header : response.headers)
        out += header.first + ": " + header.second + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += response.body;
    socket->write(out);
    socket->disconnectFromHost();
}
