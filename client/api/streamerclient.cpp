#include "streamerclient.h"

#include "core/deployment.h"

namespace OrvantaClient::API {

namespace {

// Streaming commands live directly under the streaming host's root.
const QString streamingPathBase;

QUrl streamingHost()
{
    return App::Deployment::instance().streaming();
}

} // namespace

StreamerClient::StreamerClient()
    : m_http(streamingHost().host(), streamingHost().port(0), streamingHost().scheme() == QLatin1String("https"),
             true)
    , m_prefix(QLatin1Char('/') + streamingPathBase)
{
    connectTransport();
}

StreamerClient::StreamerClient(QString host, int port)
    : m_http(host, port, false, false)
{
    connectTransport();
}

void StreamerClient::connectTransport()
{
    connect(&m_http, qOverload<QByteArray>(&HTTPClient::finished), this, &StreamerClient::blobReceived);
    connect(&m_http, qOverload<QJsonDocument>(&HTTPClient::finished), this, &StreamerClient::jsonReceived);
    connect(&m_http, &HTTPClient::error, this, &StreamerClient::error);
}

void StreamerClient::request(QString command, QVariantMap params, bool json)
{
    m_http.get(m_prefix + QLatin1Char('/') + command, params, json);
}

void StreamerClient::request(QString command, QVariantMap params)
{
    request(command, params, true);
}

void StreamerClient::postRequest(QString command, QVariantMap params)
{
    m_http.post(QStringLiteral("%1/%2").arg(m_prefix, command), params, QByteArray(),
                QStringLiteral("application/x-www-form-urlencoded"), true);
}

} // namespace OrvantaClient::API
