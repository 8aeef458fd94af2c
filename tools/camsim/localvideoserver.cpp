#include "localvideoserver.h"

#include "cloudservice.h"
#include "sustream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>

namespace Camsim {

QJsonObject LocalVideoServer::streamJson(const CameraSpec& camera)
{
    // The cloud's camera object without what only the service knows: rights,
    // paid services and the stored rotation.
    QJsonObject json = CloudService::cameraJson(camera);
    for (const char* key : {"rights", "services", "rotation", "mirror"})
        json.remove(QLatin1String(key));
    return json;
}

Response LocalVideoServer::handle(const Request& request, const CameraRoutes::Context& context,
                                  const QString& serverId)
{
    if (request.queryValue("sessionId") != m_spec.password)
        return Response::json(R"({"error":"wrong password"})", 401);
    if (request.path == "/streams/info") {
        QJsonArray streams;
        for (const CameraSpec& camera : qAsConst(m_spec.cameras))
            streams.append(streamJson(camera));
        return Response::json(QJsonDocument(streams).toJson(QJsonDocument::Compact));
    }
    const int cameraId = request.queryValue("camera").toInt();
    for (const CameraSpec& camera : qAsConst(m_spec.cameras)) {
        if (camera.id != cameraId)
            continue;
        if (!camera.online)
            return Response::json(R"({"error":"offline"})", 404);
        if (request.path == "/flv/live" && request.queryValue("type") == QLatin1String("su")) {
            const QSize size = CameraRoutes::streamSize(camera, request.queryValue("q").toInt());
            QObject* owner = context.owner;
            const int fps = camera.fps;
            const QString name = camera.name;
            const int dropAfter = context.faults.dropStreamAfterSecs;
            return {200, "application/octet-stream", QByteArray(), [=](QTcpSocket* socket) {
                        new SuStream(socket, name, size, fps, owner);
                        if (dropAfter > 0)
                            QTimer::singleShot(dropAfter * 1000, socket, [socket] { socket->abort(); });
                    }, {}};
        }
        // Keyed by name, not by address: the recordings stay the same whatever port the server got.
        const Response answer =
            CameraRoutes::handle(request, camera, "local:" + m_spec.name + '_' + QString::number(cameraId), context);
        if (answer.status != 0)
            return answer;
    }
    return Response::json(R"({"error":"no such camera"})", 404);
}

} // namespace Camsim
