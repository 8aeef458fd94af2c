#include "server.h"

#include "camera.h"
#include "api/httpclient.h"
#include "api/problemlog.h"

#include <QDebug>
#include <QJsonDocument>
#include <QSet>
#include <cmath>
#include <limits>

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
    setName(answeredName(json.value(QStringLiteral("name")).toString(QString())));
    const QJsonObject plugins =
        json.value(QStringLiteral("info")).toObject().value(QStringLiteral("plugins")).toObject();
    m_ptzPatrolSupported = plugins.contains(QStringLiteral("ptz_patrol"));
    const QJsonValue cameras = json.value(QStringLiteral("cameras"));
    if (cameras.isArray())
        updateCameras(cameras.toArray());
    else if (ProblemLog::first(QStringLiteral("cameras of ") + id(), QStringLiteral("list")))
        qDebug() << "Camera list of server" << id() << "kept: the answer holds none";
}

camera_id_t Server::cameraIdOf(const QJsonValue& entry, const QString& key)
{
    // Checked as a double: a converted out-of-range one is undefined.
    const QJsonValue id = entry.toObject().value(key);
    const double number = id.toDouble(-1);
    if (!id.isDouble() || number < 0 || number > std::numeric_limits<camera_id_t>::max() || number != std::floor(number))
        return -1;
    return camera_id_t(number);
}

bool Server::updateCameras(const QJsonArray& cameras)
{
    for (const QJsonValue& value : cameras) {
        if (cameraIdOf(value) < 0) {
            if (ProblemLog::first(QStringLiteral("cameras of ") + id(), QStringLiteral("entry")))
                qDebug() << "Camera list of server" << id() << "kept: an entry has no usable id:"
                         << HTTPClient::logExcerpt(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
            return false;
        }
    }
    ProblemLog::recovered(QStringLiteral("cameras of ") + id());
    QSet<camera_id_t> seen;
    for (const QJsonValue& value : cameras) {
        const QJsonObject object = value.toObject();
        const camera_id_t cameraId = cameraIdOf(value);
        // A repeated id describes the camera once more; the first one counts.
        if (seen.contains(cameraId))
            continue;
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
    return true;
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
