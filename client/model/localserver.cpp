#include "localserver.h"

#include "api/problemlog.h"
#include "api/streamerclient.h"

#include <QDebug>
#include <QUrl>

namespace OrvantaClient::API {

server_id_t LocalServer::idFor(const QString& host, int port)
{
    return host + QLatin1Char(':') + QString::number(port);
}

LocalServer::LocalServer(const QString& name, const QString& host, int port, const QString& password)
    : Server(idFor(host, port))
    , m_host(host)
    , m_port(port)
    , m_password(password)
    , m_streams(new StreamerClient(host, port))
{
    setName(name);
    setOnline(true);
    // A server of the local network that leaves its status unanswered this
    // long is taken for offline; it is asked again at the next refresh.
    m_streams->http().setTransferTimeout(qMin(HTTPClient::defaultTransferTimeout(), statusTimeoutMs));
    connect(m_streams, &StreamerClient::jsonReceived, this, &LocalServer::streamsUpdate);
    connect(m_streams, &StreamerClient::error, this, &LocalServer::streamsError);
}

LocalServer::LocalServer(const QJsonObject& json)
    : LocalServer(json.value(QStringLiteral("name")).toString(), json.value(QStringLiteral("ip")).toString(),
                  json.value(QStringLiteral("port")).toInt(0), json.value(QStringLiteral("password")).toString())
{
}

LocalServer::~LocalServer()
{
    delete m_streams;
}

bool LocalServer::isLocal() const
{
    return true;
}

void LocalServer::update(const Server& other)
{
    Server::update(other);
    if (other.isLocal())
        setPassword(static_cast<const LocalServer&>(other).password());
}

void LocalServer::setPassword(const QString& password)
{
    if (password != m_password)
        m_password = password;
}

QJsonObject LocalServer::toJson() const
{
    // QJsonObject orders its keys itself; the file's readers look keys up by name.
    return QJsonObject{
        {QStringLiteral("ip"), m_host},
        {QStringLiteral("port"), m_port},
        {QStringLiteral("name"), name()},
        {QStringLiteral("password"), m_password},
    };
}

void LocalServer::update()
{
    if (m_updating)
        return;
    const QVariantMap params{
        {QStringLiteral("sessionId"), QString::fromLatin1(QUrl::toPercentEncoding(m_password))},
        {QStringLiteral("server"), QStringLiteral("1")},
    };
    m_updating = true;
    emit localServerUpdatingStarted();
    m_streams->request(QStringLiteral("streams/info"), params);
}

void LocalServer::onExistsChanged(bool exists)
{
    Server::onExistsChanged(exists);
    if (exists)
        update();
}

void LocalServer::streamsUpdate(QJsonDocument data)
{
    m_updating = false;
    // Anything but a list of cameras is a broken answer, not an empty server:
    // the cameras shown stay.
    if (!data.isArray()) {
        if (ProblemLog::first(QStringLiteral("cameras of ") + id(), QStringLiteral("list")))
            qDebug() << "Camera list of local server" << id() << "kept: the answer holds none";
        emit localServerUpdatingError();
        return;
    }
    setOnline(true);
    if (updateCameras(data.array()))
        emit localServerUpdatingFinished();
    else
        emit localServerUpdatingError();
}

void LocalServer::streamsError()
{
    m_updating = false;
    setOnline(false);
    emit localServerUpdatingError();
}

} // namespace OrvantaClient::API
