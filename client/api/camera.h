#pragma once

#include "apitypes.h"

#include <QJsonObject>
#include <QObject>

namespace OrvantaClient::API {

// One camera of one server.
class Camera : public QObject
{
    Q_OBJECT
public:
    Camera(Server* server, const QJsonObject& json);

    camera_id_t id() const { return m_id; }
    QString name() const { return m_name; }
    Server* server() const { return m_server; }

private:
    Server* m_server;
    camera_id_t m_id;
    QString m_name;
};

} // namespace OrvantaClient::API
