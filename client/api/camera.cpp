#include "camera.h"

namespace OrvantaClient::API {

Camera::Camera(Server* server, const QJsonObject& json)
    : m_server(server)
    , m_id(json.value(QStringLiteral("id")).toInt(0))
    , m_name(json.value(QStringLiteral("name")).toString())
{
}

} // namespace OrvantaClient::API
