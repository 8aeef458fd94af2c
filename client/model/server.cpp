#include "server.h"

#include "camera.h"

#include <QSet>

namespace OrvantaClient::API {

Server::Server(const server_id_t& id)
    : ApiItem<server_id_t>(id)
{
    // Cameras travel in this server's signals.
    registerMetaTypes();
}

Server::Server(const QJsonObject& json)
    : Server(json.value(QStringLiteral("id")).toString(QString()))
{
    fromJson(json);
}

Server::~Server()
{
    removeAll();
}

bool Server::isLocal() const
{
    return false;
}

void Server::fromJson(const QJsonObject& json)
{
    if (!exists())
        setExists(true);
    setOnline(json.value(QStringLiteral("online")).toBool(false));
    setName(json.value(QStringLiteral("name")).toString(QString()));
    const QJsonObject plugins =
        json.value(QStringLiteral("info")).toObject().value(QStringLiteral("plugins")).toObject();
    m_ptzPatrolSupported = plugins.contains(QStringLiteral("ptz_patrol"));
    updateCameras(json.value(QStringLiteral("cameras")).toArray());
}

void Server::updateCameras(const QJsonArray& cameras)
{
    QSet<camera_id_t> seen;
    for (const QJsonValue& value : cameras) {
        const QJsonObject object = value.toObject();
        const camera_id_t cameraId = object.value(QStringLiteral("id")).toInt(0);
        seen.insert(cameraId);
        if (const CameraPtr held = item(cameraId)) {
            const bool existed = held->exists();
            held->fromJson(object);
            if (!existed)
                emit cameraAdded(held);
        } else {
            add(std::make_shared<Camera>(this, object));
        }
    }
    for (const CameraPtr& camera : items()) {
        if (!seen.contains(camera->id()))
            remove(camera->id());
    }
}

void Server::update(const Server& other)
{
    setName(other.name());
}

void Server::setOnline(bool online)
{
    if (online == m_online)
        return;
    m_online = online;
    for (const CameraPtr& camera : items())
        camera->setOnline(online);
    emit serverStateChanged(online);
}

void Server::onItemAdded(const CameraPtr& camera)
{
    emit cameraAdded(camera);
}

void Server::onItemRemoved(const CameraPtr& camera)
{
    emit cameraRemoved(camera);
}

void Server::onNameChanged()
{
    emit serverNameChanged(name());
}

void Server::onExistsChanged(bool exists)
{
    if (exists)
        return;
    removeAll();
    emit serverRemoved();
}

} // namespace OrvantaClient::API
