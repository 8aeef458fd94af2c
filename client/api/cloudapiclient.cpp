#include "cloudapiclient.h"

#include "restclient.h"
#include "streamerclient.h"
#include "core/constants.h"
#include "core/settings.h"

#include <QDebug>
#include <QJsonDocument>
#include <QUrl>

namespace OrvantaClient::API {

namespace {

QString& session()
{
    static QString id;
    return id;
}

const QString platform = QString::fromLatin1(App::Constants::platformName);

const char* jsonTypeName(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return "null";
    case QJsonValue::Bool:
        return "bool";
    case QJsonValue::Double:
        return "number";
    case QJsonValue::String:
        return "empty string";
    case QJsonValue::Array:
        return "array";
    case QJsonValue::Object:
        return "object";
    case QJsonValue::Undefined:
        break;
    }
    return "missing";
}

// Releases a transport object after its first outcome, whoever listens.
template<typename Transport>
void releaseAfterOutcome(Transport* transport)
{
    auto release = [transport] { transport->deleteLater(); };
    QObject::connect(transport, &Transport::jsonReceived, transport, release);
    QObject::connect(transport, &Transport::error, transport, release);
    if constexpr (std::is_same_v<Transport, StreamerClient>)
        QObject::connect(transport, &StreamerClient::blobReceived, transport, release);
}

} // namespace

CloudAPIClient::CloudAPIClient(QObject* parent)
    : QObject(parent)
{
}

QString CloudAPIClient::sessionId()
{
    return session();
}

bool CloudAPIClient::readPatrolsAnswer(const QJsonDocument& answer, QJsonObject* routes)
{
    const QJsonObject object = answer.object();
    if (!object.contains(QStringLiteral("success")) || !object.value(QStringLiteral("success")).toBool())
        return false;
    // The route list travels as JSON text inside a JSON string.
    const QByteArray text = object.value(QStringLiteral("response")).toString().toUtf8();
    *routes = QJsonDocument::fromJson(text).object();
    return true;
}

RestClient* CloudAPIClient::rest(std::function<void(const QJsonObject&)> onSuccess, std::function<void()> onFailure)
{
    auto* client = new RestClient;
    connect(client, &RestClient::jsonReceived, this, [onSuccess](const QJsonObject& response) { onSuccess(response); });
    connect(client, &RestClient::error, this, [onFailure] { onFailure(); });
    releaseAfterOutcome(client);
    return client;
}

StreamerClient* CloudAPIClient::streamer(const QString& apiHost, int apiPort, const QString& password,
                                         const server_id_t& serverID, camera_id_t cameraID, QVariantMap& params)
{
    StreamerClient* client = nullptr;
    if (apiHost.isEmpty()) {
        client = new StreamerClient;
        params.insert(QStringLiteral("sessionId"), session());
    } else {
        client = new StreamerClient(apiHost, apiPort);
        // Encoded as in the stream URLs and the stream info request: the query
        // would otherwise take "+" for a blank and "%41" for "A".
        params.insert(QStringLiteral("sessionId"), QString::fromLatin1(QUrl::toPercentEncoding(password)));
    }
    params.insert(QStringLiteral("server"), serverID);
    params.insert(QStringLiteral("camera"), cameraID);
    releaseAfterOutcome(client);
    return client;
}

void CloudAPIClient::onStreamerFailure(StreamerClient* client, std::function<void()> onFailure)
{
    connect(client, &StreamerClient::error, this, [onFailure] { onFailure(); });
}

void CloudAPIClient::tryLogin(QString email, QString password)
{
    auto* client = new RestClient;
    connect(client, &RestClient::jsonReceived, this, [this](const QJsonObject& response) {
        // Without a session nothing else can be loaded: an answer that calls
        // itself a success but carries no usable id is a failed login.
        const QJsonValue id = response.value(QStringLiteral("session_id"));
        if (!id.isString() || id.toString().isEmpty()) {
            qDebug() << "Login answer holds no session id:" << jsonTypeName(id);
            qDebug() << "Login failed";
            emit loginFailed(-2);
            return;
        }
        session() = id.toString();
        qDebug() << "Login successful";
        emit loginSuccess();
    });
    connect(client, &RestClient::error, this, [this](int errorCode, int httpStatus) {
        // No HTTP answer at all (refused, dropped, timed out, proxy failure)
        // is told apart from a service that answered with an error status.
        if (errorCode == -3 && httpStatus == 0)
            errorCode = -4;
        qDebug() << "Login failed" << errorCode << httpStatus;
        emit loginFailed(errorCode);
    });
    releaseAfterOutcome(client);
    const QVariantMap form{
        {QStringLiteral("login"), QString::fromLatin1(QUrl::toPercentEncoding(email))},
        {QStringLiteral("password"), QString::fromLatin1(QUrl::toPercentEncoding(password))},
        {QStringLiteral("clientType"), platform},
        {QStringLiteral("clientVersion"), QString::fromLatin1(App::Constants::applicationVersion)},
    };
    qDebug() << "Try login:" << email << platform << QString::fromLatin1(App::Constants::applicationVersion);
    client->postForm(QStringLiteral("public/sessions"), form);
}

void CloudAPIClient::logout()
{
    if (session().isEmpty())
        return;
    // Sign-out sends this from a facade that is gone before the answer comes:
    // the log lines hang on the transport object, which lives until then.
    auto* client = new RestClient;
    connect(client, &RestClient::jsonReceived, client, [] { qDebug() << "Logout successful"; });
    connect(client, &RestClient::error, client, [] { qDebug() << "Logout failed"; });
    releaseAfterOutcome(client);
    qDebug() << "Try logout:" << App::Settings::instance().value(QStringLiteral("auth/email")).toString().toLower();
    client->del(QStringLiteral("public/sessions/") + session(), QVariantMap());
    session().clear();
}

void CloudAPIClient::checkForUpdates()
{
    RestClient* client = rest(
        [this](const QJsonObject& response) {
            const QString version = response.value(QStringLiteral("version")).toString();
            qDebug() << "Checking for update: version" << version;
            emit updatesFound(version);
        },
        [this] {
            qDebug() << "Checking for update failed";
            emit updatesError();
        });
    qDebug() << "Check for updates" << platform;
    client->get(QStringLiteral("public/version/") + QStringLiteral("client") + QLatin1Char('_') + platform,
                QVariantMap());
}

void CloudAPIClient::updateRoster()
{
    auto* client = new RestClient;
    connect(client, &RestClient::jsonReceived, this, [this](const QJsonObject& response) {
        qDebug() << "Roster updated";
        emit rosterUpdated(response);
    });
    // The roster tells whether the service can be reached: the pair goes along.
    connect(client, &RestClient::error, this, [this](int errorCode, int httpStatus) {
        qDebug() << "Roster request failed";
        emit rosterUpdateError(errorCode, httpStatus);
    });
    releaseAfterOutcome(client);
    qDebug() << "Roster request";
    client->get(QStringLiteral("public/roster"), {{QStringLiteral("sessionId"), session()}});
}

void CloudAPIClient::updateLayouts()
{
    RestClient* client = rest(
        [this](const QJsonObject& response) {
            qDebug() << "Layouts updated";
            emit layoutsUpdated(response);
        },
        [this] {
            qDebug() << "Layouts request failed";
            emit layoutsUpdateError();
        });
    qDebug() << "Layouts request";
    client->get(QStringLiteral("/layouts"), {{QStringLiteral("sessionId"), session()}});
}

void CloudAPIClient::saveLayouts(QByteArray jsonLayouts)
{
    RestClient* client = rest([](const QJsonObject&) { qDebug() << "Layouts saved"; },
                              [this] {
                                  qDebug() << "Save layouts request failed";
                                  emit layoutsUpdateError();
                              });
    qDebug() << "Save layouts request";
    client->post(QStringLiteral("/layouts"), {{QStringLiteral("sessionId"), session()}}, jsonLayouts);
}

void CloudAPIClient::requestPreview(API::server_id_t serverID, API::camera_id_t cameraID, QString apiHost,
                                    int apiPort, QString password)
{
    QVariantMap params{{QStringLiteral("q"), 0}};
    StreamerClient* client = streamer(apiHost, apiPort, password, serverID, cameraID, params);
    connect(client, &StreamerClient::blobReceived, this, [this](const QByteArray& data) {
        QPixmap preview;
        preview.loadFromData(data, "JPEG");
        qDebug() << "Preview updated";
        emit previewReceived(preview);
    });
    onStreamerFailure(client, [this] {
        qDebug() << "Preview request failed";
        emit previewError();
    });
    qDebug() << "Preview request for camera" << serverID << cameraID;
    client->request(QStringLiteral("preview/live"), params, false);
}

void CloudAPIClient::getTimeline(API::server_id_t serverID, API::camera_id_t cameraID, uint startTime,
                                 uint endTime, QString apiHost, int apiPort, QString password)
{
    QVariantMap params{{QStringLiteral("startTime"), startTime}, {QStringLiteral("endTime"), endTime}};
    StreamerClient* client = streamer(apiHost, apiPort, password, serverID, cameraID, params);
    connect(client, &StreamerClient::jsonReceived, this, [this](const QJsonDocument& document) {
        qDebug() << "Records updated";
        emit archivesReceived(document.array());
    });
    onStreamerFailure(client, [this] {
        qDebug() << "Records request failed";
        emit archivesError();
    });
    qDebug() << "Records request" << serverID << cameraID;
    client->request(QStringLiteral("archive/list"), params);
}

void CloudAPIClient::getCalendar(API::server_id_t serverID, API::camera_id_t cameraID, uint startTime,
                                 uint endTime, QString apiHost, int apiPort, QString password)
{
    QVariantMap params{{QStringLiteral("startTime"), startTime}, {QStringLiteral("endTime"), endTime}};
    StreamerClient* client = streamer(apiHost, apiPort, password, serverID, cameraID, params);
    connect(client, &StreamerClient::jsonReceived, this, [this](const QJsonDocument& document) {
        qDebug() << "Calendar updated";
        emit archiveDatesReceived(document.array());
    });
    onStreamerFailure(client, [this] {
        qDebug() << "Calendar request failed";
        emit archiveDatesError();
    });
    qDebug() << "Calendar request" << serverID << cameraID;
    client->request(QStringLiteral("archive/days"), params);
}

void CloudAPIClient::setCameraRotation(API::server_id_t serverID, API::camera_id_t cameraID, int angle)
{
    RestClient* client = rest(
        [this](const QJsonObject&) {
            qDebug() << "Rotation saved";
            emit ok();
        },
        [this] {
            qDebug() << "Error saving rotation";
            emit error();
        });
    qDebug() << "Save rotation" << angle << "camera" << serverID << cameraID << "request";
    client->postForm(QStringLiteral("/public/servers/%1/cameras/%2/rotation").arg(serverID, QString::number(cameraID)),
                     {{QStringLiteral("sessionId"), session()}, {QStringLiteral("degrees"), angle}});
}

void CloudAPIClient::ptzMove(API::server_id_t serverID, API::camera_id_t cameraID, QString direction,
                             QString apiHost, int apiPort, QString password)
{
    QVariantMap params{{QStringLiteral("move"), direction}};
    StreamerClient* client = streamer(apiHost, apiPort, password, serverID, cameraID, params);
    connect(client, &StreamerClient::jsonReceived, this, [this] {
        qDebug() << "PTZ moved";
        emit ptzOperationSuccess();
    });
    onStreamerFailure(client, [this] {
        qDebug() << "Error moving PTZ";
        emit ptzOperationFailed();
    });
    qDebug() << "PTZ move" << direction << "camera" << serverID << cameraID << "request";
    client->request(QStringLiteral("ptz"), params);
}

void CloudAPIClient::ptzZoom(API::server_id_t serverID, API::camera_id_t cameraID, int zoomLevel, QString apiHost,
                             int apiPort, QString password)
{
    QVariantMap params{{QStringLiteral("rzoom"), zoomLevel}};
    StreamerClient* client = streamer(apiHost, apiPort, password, serverID, cameraID, params);
    connect(client, &StreamerClient::jsonReceived, this, [this] {
        qDebug() << "PTZ zoomed";
        emit ptzOperationSuccess();
    });
    onStreamerFailure(client, [this] {
        qDebug() << "Error zooming PTZ";
        emit ptzOperationFailed();
    });
    qDebug() << "PTZ zoom" << zoomLevel << "camera" << serverID << cameraID << "request";
    client->request(QStringLiteral("ptz"), params);
}

void CloudAPIClient::ptzPatrol(API::server_id_t serverID, API::camera_id_t cameraID, int route, QString apiHost,
                               int apiPort, QString password)
{
    QVariantMap params{{QStringLiteral("patrolId"), route}};
    StreamerClient* client = streamer(apiHost, apiPort, password, serverID, cameraID, params);
    connect(client, &StreamerClient::jsonReceived, this, [this] {
        qDebug() << "PTZ patrol success";
        emit ptzOperationSuccess();
    });
    onStreamerFailure(client, [this] {
        qDebug() << "Error patrol PTZ";
        emit ptzOperationFailed();
    });
    qDebug() << "PTZ patrol" << "camera" << serverID << cameraID << "request";
    client->postRequest(QStringLiteral("plugin/ptz_patrol"), params);
}

void CloudAPIClient::ptzPatrolsAvailable(API::server_id_t serverID, API::camera_id_t cameraID, QString apiHost,
                                         int apiPort, QString password)
{
    QVariantMap params;
    StreamerClient* client = streamer(apiHost, apiPort, password, serverID, cameraID, params);
    connect(client, &StreamerClient::jsonReceived, this, [this](const QJsonDocument& document) {
        QJsonObject routes;
        if (!readPatrolsAnswer(document, &routes)) {
            qDebug() << "Error patrols ways PTZ: response does not contains success keyword";
            emit ptzOperationFailed();
            return;
        }
        qDebug() << "PTZ patrols ways success";
        emit ptzPatrolsReceived(routes);
    });
    onStreamerFailure(client, [this] {
        qDebug() << "Error patrols ways PTZ";
        emit ptzOperationFailed();
    });
    qDebug() << "PTZ patrols ways" << "camera" << serverID << cameraID << "request";
    client->request(QStringLiteral("plugin/ptz_patrol"), params);
}

} // namespace OrvantaClient::API
