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

    Scenario* m_scenario;
    QHash<QString, QString> m_sessions;           // session id -> e-mail
    QHash<QString, QList<qint64>> m_failures;      // e-mail -> times of failed logins
    QHash<QString, QPair<qint64, QJsonArray>> m_layouts; // e-mail -> (last_update, layouts)
};

} // namespace Camsim
