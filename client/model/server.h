#pragma once

#include "apiitem.h"
#include "apiitemsholder.h"
#include "apitypes.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>

namespace OrvantaClient::API {

// A video server of the roster: a named container of cameras with an online
// state. Refreshing it merges the new camera list into the cameras it holds.
class Server : public QObject, public ApiItem<server_id_t>, public ApiItemsHolder<CameraPtr, camera_id_t>
{
    Q_OBJECT
public:
    // A cloud server from the service's roster answer; it exists.
    explicit Server(const QJsonObject& json);
    // A placeholder for a server that a layout names before the roster has it.
    explicit Server(const server_id_t& id);
    ~Server() override;

    virtual bool isLocal() const;

    void fromJson(const QJsonObject& json);
    // Merges the list in; a list with an entry that is no camera with an id
    // leaves the cameras as they are and returns false, since dropping or
    // merging cards on a broken answer would lose them.
    bool updateCameras(const QJsonArray& cameras);
    // The camera id under key in an entry of an answer, or -1 when it has no usable one.
    static camera_id_t cameraIdOf(const QJsonValue& entry, const QString& key = QStringLiteral("id"));
    virtual void update(const Server& other);

    bool isOnline() const { return m_online; }
    void setOnline(bool online);
    bool ptzPatrolSupported() const { return m_ptzPatrolSupported; }

    bool operator==(const Server& other) const { return id() == other.id(); }
    bool operator!=(const Server& other) const { return !(*this == other); }

signals:
    void serverNameChanged(QString name);
    void cameraAdded(API::CameraPtr camera);
    void cameraRemoved(API::CameraPtr camera);
    void serverStateChanged(bool online);
    void serverRemoved();

protected:
    void onItemAdded(const CameraPtr& camera) override;
    void onItemRemoved(const CameraPtr& camera) override;
    void onNameChanged() override;
    void onExistsChanged(bool exists) override;

private:
    bool m_online = false;
    bool m_ptzPatrolSupported = false;
};

} // namespace OrvantaClient::API
