#include "server.h"

namespace OrvantaClient::API {

Server::Server(const QJsonObject& json, QObject* parent)
    : QObject(parent)
    , m_id(json.value(QStringLiteral("id")).toString())
    , m_name(json.value(QStringLiteral("name")).toString())
{
}

bool Server::isLocal() const
{
    return false;
}

} // namespace OrvantaClient::API
