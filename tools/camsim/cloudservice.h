#pragma once

#include "cameraroutes.h"
#include "httpserver.h"
#include "scenario.h"

#include <QHash>
#include <QJsonArray>

namespace Camsim {

// The cloud service: the REST API (sessions, roster, layouts, rotation,
// version) and the streaming host, on one port, with the session id checked
// on every request that needs one.
class CloudService
{
public:
    explicit CloudService(Scenario* scenario) : m_scenario(scenario) {}

    Response handle(const Request& request, const CameraRoutes::Context& context);

    static QJsonObject serverJson(const ServerSpec& server);
    static QJsonObject cameraJson(const CameraSpec& camera);
    static QByteArray success(const QJsonValue& response);
    static QByteArray failure(int code, const QString& alias);

private:
    Response login(const Request& request);
    QString accountOf(const QString& sessionId) const { return m_sessions.value(sessionId); }
    // The camera of a streaming request and its server, or nulls.
    QPair<const ServerSpec*, CameraSpec*> find(const QString& serverId, int cameraId);

    Scenario* m_scenario;
    QHash<QString, QString> m_sessions;           // session id -> e-mail
    QHash<QString, QList<qint64>> m_failures;      // e-mail -> times of failed logins
    QHash<QString, QPair<qint64, QJsonArray>> m_layouts; // e-mail -> (last_update, layouts)
    // Thousands of cameras are looked up and listed as fast as a handful: the
    // index is built once (the scenario's lists never change size) and the
    // roster answer until a camera changes.
    QHash<QPair<QString, int>, QPair<int, int>> m_index; // (server id, camera id) -> positions
    QByteArray m_roster;
};

} // namespace Camsim
