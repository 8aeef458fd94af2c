#pragma once

#include "apiids.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QPixmap>
#include <QString>

namespace OrvantaClient::API {

class RestClient;
class StreamerClient;

// The facade through which the client talks to the service and to local video
// servers: one slot per operation, one or two signals per outcome. Every call
// uses a fresh transport object that lives until its one answer. Holds the
// process-wide session id, empty until a login succeeds.
class CloudAPIClient : public QObject
{
    Q_OBJECT
public:
    explicit CloudAPIClient(QObject* parent = nullptr);

    static QString sessionId();

    // The routes of a patrols answer: its "response" holds them as JSON text.
    // False when the answer is not a success.
    static bool readPatrolsAnswer(const QJsonDocument& answer, QJsonObject* routes);

signals:
    void ok();
    void error();
    void updatesFound(QString version);
    void updatesError();
    void loginSuccess();
    // errorCode is the code of the failure's error pair: -2 when the service's
    // answer could not be used, -3 when it answered with an HTTP error, -4
    // when no answer came at all, the service's own code when it refused.
    void loginFailed(int errorCode);
    void rosterUpdated(QJsonObject response);
    // The failure's error pair: (-3, 0) when no answer came at all.
    void rosterUpdateError(int errorCode, int httpStatus);
    void layoutsUpdated(QJsonObject response);
    void layoutsUpdateError();
    void previewReceived(QPixmap preview);
    void previewError();
    void archivesReceived(QJsonArray records);
    void archivesError();
    void archiveDatesReceived(QJsonArray days);
    void archiveDatesError();
    void ptzOperationSuccess();
    void ptzPatrolsReceived(QJsonObject patrols);
    void ptzOperationFailed();

public slots:
    void tryLogin(QString email, QString password);
    void logout();
    void checkForUpdates();
    void updateRoster();
    void updateLayouts();
    void saveLayouts(QByteArray jsonLayouts);
    void requestPreview(API::server_id_t serverID, API::camera_id_t cameraID, QString apiHost = QString(),
                        int apiPort = 0, QString password = QString());
    void getTimeline(API::server_id_t serverID, API::camera_id_t cameraID, uint startTime, uint endTime,
                     QString apiHost = QString(), int apiPort = 0, QString password = QString());
    void getCalendar(API::server_id_t serverID, API::camera_id_t cameraID, uint startTime, uint endTime,
                     QString apiHost = QString(), int apiPort = 0, QString password = QString());
    void setCameraRotation(API::server_id_t serverID, API::camera_id_t cameraID, int angle);
    void ptzMove(API::server_id_t serverID, API::camera_id_t cameraID, QString direction,
                 QString apiHost = QString(), int apiPort = 0, QString password = QString());
    void ptzZoom(API::server_id_t serverID, API::camera_id_t cameraID, int zoomLevel, QString apiHost = QString(),
                 int apiPort = 0, QString password = QString());
    void ptzPatrol(API::server_id_t serverID, API::camera_id_t cameraID, int route, QString apiHost = QString(),
                   int apiPort = 0, QString password = QString());
    void ptzPatrolsAvailable(API::server_id_t serverID, API::camera_id_t cameraID, QString apiHost = QString(),
                             int apiPort = 0, QString password = QString());

private:
    // A request to the service's API host; the handlers run once, then the
    // transport object is released.
    RestClient* rest(std::function<void(const QJsonObject&)> onSuccess, std::function<void()> onFailure);
    // A request to the streaming host (empty apiHost) or to a local server;
    // fills the camera parameters, with the session id or the local password.
    StreamerClient* streamer(const QString& apiHost, int apiPort, const QString& password,
                             const server_id_t& serverID, camera_id_t cameraID, QVariantMap& params);
    void onStreamerFailure(StreamerClient* client, std::function<void()> onFailure);
};

} // namespace OrvantaClient::API
