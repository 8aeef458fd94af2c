#include "httpserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace Camsim {

namespace {

constexpr int maxRequestSize = 8 * 1024 * 1024;

QString decoded(const QByteArray& text)
{
    QByteArray plus = text;
    plus.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(plus));
}

QList<QPair<QString, QString>> parsePairs(const QByteArray& text)
{
    QList<QPair<QString, QString>> pairs;
    for (const QByteArray& item : text.split('&')) {
        if (item.isEmpty())
            continue;
        const int equals = item.indexOf('=');
        pairs.append(equals < 0 ? qMakePair(decoded(item), QString())
                                : qMakePair(decoded(item.left(equals)), decoded(item.mid(equals + 1))));
    }
    return pairs;
}

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 302: return "Found";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

QString Request::queryValue(const QString& key) const
{
    return Request::formValue(query, key);
}

bool Request::hasQueryItem(const QString& key) const
{
    for (const auto& item : query) {
        if (item.first == key)
            return true;
    }
    return false;
}

QByteArray Request::header(const QByteArray& name) const
{
    for (const auto& item : headers) {
        if (item.first.compare(name, Qt::CaseInsensitive) == 0)
            return item.second;
    }
    return QByteArray();
}

QList<QPair<QString, QString>> Request::form() const
{
    return parsePairs(body);
}

QString Request::formValue(const QList<QPair<QString, QString>>& form, const QString& key)
{
    for (const auto& item : form) {
        if (item.first == key)
            return item.second;
    }
    return QString();
}

HttpServer::HttpServer(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::onNewConnection);
}

bool HttpServer::listen(quint16 port)
{
    if (!m_server.listen(QHostAddress::LocalHost, port))
        return false;
    m_port = m_server.serverPort();
    return true;
}

void HttpServer::setRefusing(bool refusing)
{
    if (refusing)
        m_server.close();
    else if (!m_server.isListening())
        m_server.listen(QHostAddress::LocalHost, m_port);
}

void HttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpServer::onReadyRead(QTcpSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll(); // a streamed answer may get client chatter; ignore it
        return;
    }
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    if (buffer.size() > maxRequestSize) {
        socket->abort();
        return;
    }
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        socket->setProperty("buffer", buffer);
        return;
    }
    Request request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const int length = qMax(0, request.header("Content-Length").toInt());
    if (buffer.size() < headerEnd + 4 + length) {
        socket->setProperty("buffer", buffer);
        return;
    }
    request.body = buffer.mid(headerEnd + 4, length);
    socket->setProperty("buffer", QByteArray());
    socket->setProperty("answered", true);

    QByteArray target = request.target;
    const int scheme = target.indexOf("://");
    if (scheme > 0 && scheme < target.indexOf('/')) {
        // An absolute target, as proxies receive them.
        const int pathStart = target.indexOf('/', scheme + 3);
        target = pathStart < 0 ? QByteArray("/") : target.mid(pathStart);
    }
    const int question = target.indexOf('?');
    request.path = question < 0 ? target : target.left(question);
    while (request.path.contains("//"))
        request.path.replace("//", "/");
    if (question >= 0)
        request.query = parsePairs(target.mid(question + 1));

    emit requestReceived(request);
    if (m_stalling)
        return;
    const Response response = m_handler ? m_handler(request) : Response::json("{}", 404);
    if (m_delay > 0) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(m_delay, this, [this, guarded, response] {
            if (guarded)
                respond(guarded, response);
        });
        return;
    }
    respond(socket, response);
}

void HttpServer::respond(QTcpSocket* socket, const Response& response)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    if (!response.stream)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto& header : response.headers)
        head += header.first + ": " + header.second + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (response.stream) {
        response.stream(socket);
        return;
    }
    socket->write(response.body);
    socket->disconnectFromHost();
}

} // namespace Camsim
