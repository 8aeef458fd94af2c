#include "cloudservice.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUuid>

namespace Camsim {

namespace {

const QRegularExpression rotationPath(QStringLiteral("^/public/servers/([^/]+)/cameras/(\\d+)/rotation$"));

} // namespace

QByteArray CloudService::success(const QJsonValue& response)
{
    QJsonObject envelope{{"success", true}};
    if (!response.isUndefined())
        envelope.insert("response", response);
    return QJsonDocument(envelope).toJson(QJsonDocument::Compact);
}

QByteArray CloudService::failure(int code, const QString& alias)
{
    return QJsonDocument(QJsonObject{{"success", false}, {"response", QJsonObject{{"code", code}, {"code_alias", alias}}}})
        .toJson(QJsonDocument::Compact);
}

QJsonObject CloudService::cameraJson(const CameraSpec& camera)
{
    QJsonObject json{{"id", camera.id},
                     {"name", camera.name},
                     {"vcodec", "h264"},
                     {"width", camera.width},
                     {"height", camera.height},
                     {"online", camera.online},
                     {"rotation", camera.rotation},
                     {"mirror", camera.mirror},
                     {"rights", QJsonArray::fromStringList(camera.rights)},
                     {"streams", QJsonObject{{"0", true}, {"1", true}, {"2", true}}}};
    // An unpaid camera has no active service at all.
    json.insert("services", camera.paid ? QJsonObject{{"enabled", QJsonObject{{"active", true}}}} : QJsonObject());
    json.insert("features", camera.ptz ? QJsonObject{{"ptz", QJsonObject()}} : QJsonObject());
    return json;
}

QJsonObject CloudService::serverJson(const ServerSpec& server)
{
    QJsonArray cameras;
    for (const CameraSpec& camera : server.cameras)
        cameras.append(cameraJson(camera));
    QJsonObject plugins;
    if (server.ptzPatrol)
        plugins.insert("ptz_patrol", QJsonObject());
    return {{"id", server.id}, {"name", server.name}, {"online", server.online},
            {"info", QJsonObject{{"plugins", plugins}}}, {"cameras", cameras}};
}

Response CloudService::login(const Request& request)
{
    const auto form = request.form();
    const QString email = Request::formValue(form, "login").toLower();
    const QString password = Request::formValue(form, "password");
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QList<qint64>& failures = m_failures[email];
    while (!failures.isEmpty() && failures.first() < now - 30000)
        failures.removeFirst();
    if (failures.size() >= 5)
        return Response::json(failure(10016, "too_many_attempts"));
    for (const Account& account : m_scenario->accounts) {
        if (account.email.toLower() == email && account.password == password) {
            const QString session = QUuid::createUuid().toString(QUuid::Id128);
            m_sessions.insert(session, email);
            return Response::json(success(QJsonObject{{"session_id", session}}));
        }
    }
    failures.append(now);
    return Response::json(failure(10001, "bad_credentials"));
}

QPair<const ServerSpec*, CameraSpec*> CloudService::find(const QString& serverId, int cameraId)
{
    QList<ServerSpec>& servers = m_scenario->cloudServers;
    if (m_index.isEmpty()) {
        for (int s = 0; s < servers.size(); ++s) {
            for (int c = 0; c < servers.at(s).cameras.size(); ++c)
                m_index.insert({servers.at(s).id, servers.at(s).cameras.at(c).id}, {s, c});
        }
    }
    const auto it = m_index.constFind({serverId, cameraId});
    if (it == m_index.constEnd())
        return {nullptr, nullptr};
    ServerSpec& server = servers[it->first];
    return {&server, &server.cameras[it->second]};
}

Response CloudService::handle(const Request& request, const CameraRoutes::Context& context)
{
    const QByteArray& path = request.path;
    if (path == "/public/sessions" && request.method == "POST")
        return login(request);
    if (path.startsWith("/public/version/"))
        return Response::json(success(QJsonObject{{"version", m_scenario->version}}));
    if (path.startsWith("/public/sessions/") && request.method == "DELETE") {
        m_sessions.remove(QString::fromUtf8(path.mid(17)));
        return Response::json(success(QJsonValue::Undefined));
    }

    const QString sessionId =
        request.hasQueryItem("sessionId") ? request.queryValue("sessionId") : Request::formValue(request.form(), "sessionId");
    const QString email = accountOf(sessionId);
    const bool streaming = path.startsWith("/preview/") || path.startsWith("/archive/") || path.startsWith("/flv/")
        || path == "/ptz" || path.startsWith("/plugin/");
    if (email.isEmpty())
        return streaming ? Response::json(R"({"error":"bad session"})", 403)
                         : Response::json(failure(10002, "bad_session"));

    if (path == "/public/roster") {
        if (m_roster.isEmpty()) {
            QJsonObject roster;
            for (const ServerSpec& server : qAsConst(m_scenario->cloudServers))
                roster.insert(server.id, serverJson(server));
            m_roster = success(roster);
        }
        return Response::json(m_roster);
    }
    if (path == "/layouts") {
        auto& stored = m_layouts[email];
        if (request.method == "POST") {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
            if (error.error != QJsonParseError::NoError || !document.isArray())
                return Response::json(failure(-2, "bad_data"));
            stored = {QDateTime::currentSecsSinceEpoch(), document.array()};
            return Response::json(success(QJsonObject()));
        }
        return Response::json(success(QJsonObject{{"last_update", double(stored.first)}, {"layouts", stored.second}}));
    }
    const QRegularExpressionMatch rotation = rotationPath.match(QString::fromUtf8(path));
    if (rotation.hasMatch() && request.method == "POST") {
        CameraSpec* camera = find(rotation.captured(1), rotation.captured(2).toInt()).second;
        if (!camera)
            return Response::json(failure(10004, "not_found"));
        camera->rotation = Request::formValue(request.form(), "degrees").toInt();
        m_roster.clear();
        return Response::json(success(QJsonObject()));
    }
    if (streaming) {
        const QString serverId = request.queryValue("server");
        const int cameraId = request.queryValue("camera").toInt();
        const auto found = find(serverId, cameraId);
        if (found.second) {
            if (!found.first->online || !found.second->online)
                return Response::json(R"({"error":"offline"})", 404);
            const Response answer =
                CameraRoutes::handle(request, *found.second, serverId + '_' + QString::number(cameraId), context);
            if (answer.status != 0)
                return answer;
        }
        return Response::json(R"({"error":"no such camera"})", 404);
    }
    return Response::json(failure(10000, "not_supported"), 404);
}

} // namespace Camsim
