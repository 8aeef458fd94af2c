#include "cameraroutes.h"

#include "archivemodel.h"
#include "flvlivestream.h"
#include "flvloop.h"
#include "flvstream.h"
#include "testpicture.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Camsim {

namespace {

QByteArray compact(const QJsonValue& value)
{
    return value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                           : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

bool hasRight(const CameraSpec& camera, const char* right)
{
    return camera.rights.contains(QLatin1String(right));
}

} // namespace

QList<QPair<qint64, qint64>> CameraRoutes::recordedStretches(const QString& cameraKey, qint64 startSecs, qint64 endSecs)
{
    QList<QPair<qint64, qint64>> stretches;
    for (const ArchiveModel::Record& record : ArchiveModel::records(cameraKey, startSecs * 1000, endSecs * 1000)) {
        const qint64 from = qMax(record.startMs / 1000, startSecs);
        const qint64 to = qMin((record.startMs + record.durationMs) / 1000, endSecs);
        if (to > from)
            stretches.append({from, to - from});
    }
    return stretches;
}

QString CameraRoutes::loopFileName(const QSize& size, int fps)
{
    return QStringLiteral("loop_%1x%2_%3.flv").arg(size.width()).arg(size.height()).arg(fps);
}

QSize CameraRoutes::streamSize(const CameraSpec& camera, int quality)
{
    const int numerator = quality <= 0 ? 2 : quality == 1 ? 3 : 4;
    return QSize(camera.width * numerator / 4 & ~1, camera.height * numerator / 4 & ~1);
}

Response CameraRoutes::handle(const Request& request, const CameraSpec& camera, const QString& cameraKey,
                              const Context& context)
{
    const QByteArray& path = request.path;
    if (path == "/preview/live") {
        const QImage picture = TestPicture::render(camera.name, streamSize(camera, 1), QDateTime::currentDateTime(), 0);
        return {200, "image/jpeg", TestPicture::jpeg(picture), {}, {}};
    }
    const bool archive = camera.archive && hasRight(camera, "archive");
    if (path == "/archive/list") {
        QJsonArray records;
        if (archive) {
            const qint64 from = request.queryValue("startTime").toLongLong() * 1000;
            const qint64 to = request.queryValue("endTime").toLongLong() * 1000;
            for (const ArchiveModel::Record& record : ArchiveModel::records(cameraKey, from, to))
                records.append(QJsonObject{{"startTime", double(record.startMs)}, {"duration", double(record.durationMs)}});
        }
        return Response::json(compact(records));
    }
    if (path == "/archive/days") {
        QJsonArray days;
        if (archive) {
            const auto calendar = ArchiveModel::calendar(cameraKey, request.queryValue("startTime").toLongLong(),
                                                         request.queryValue("endTime").toLongLong());
            for (const auto& day : calendar)
                days.append(QJsonObject{{"date", double(QDateTime(day.first, QTime(12, 0)).toSecsSinceEpoch())},
                                        {"recordsCount", day.second}});
        }
        return Response::json(compact(days));
    }
    if (path == "/ptz") {
        if (!camera.ptz)
            return Response::json(R"({"error":"no ptz"})", 400);
        return Response::json("{}");
    }
    if (path == "/plugin/ptz_patrol") {
        if (!camera.ptz)
            return Response::json(R"({"success":false})");
        if (request.method == "POST")
            return Response::json(R"({"success":true})");
        QJsonObject routes;
        for (int route : camera.patrols)
            routes.insert(QString::number(route), true);
        return Response::json(compact(QJsonObject{{"success", true}, {"response", QString::fromUtf8(compact(routes))}}));
    }
    if (path == "/flv/live" || path == "/flv/archive") {
        FlvStream::Options options;
        options.name = camera.name;
        options.fps = camera.fps;
        options.dropAfterSecs = context.faults.dropStreamAfterSecs;
        const int quality = request.queryValue("q").toInt();
        options.size = streamSize(camera, quality);
        if (path == "/flv/live") {
            if (context.cheap)
                return cheapLive(options.size, camera, context);
            options.clockStartSecs = QDateTime::currentSecsSinceEpoch();
        } else {
            if (!archive)
                return Response::json(R"({"error":"no archive"})", 404);
            qint64 start = request.queryValue("startTime").toLongLong();
            qint64 end = request.queryValue("endTime").toLongLong();
            if (request.hasQueryItem("uploadRate")) {
                // An export: times in milliseconds, exactly that stretch, faster than real time.
                options.readRate = 5.0;
                options.durationSecs = double(end - start) / 1000.0;
                start /= 1000;
            } else {
                options.speed = qBound(1, request.queryValue("speed").toInt(), 64);
                if (end - start <= 0 || end - start > 48 * 3600)
                    return Response::json(R"({"error":"bad stretch"})", 400);
                // What the records hold from the moment asked for, gaps left
                // out: a start in a gap plays from the next record.
                options.stretches = recordedStretches(cameraKey, start, end);
                if (options.stretches.isEmpty())
                    return Response::json(R"({"error":"no recordings"})", 404);
                start = options.stretches.first().first;
                options.durationSecs = 0;
                for (const auto& stretch : qAsConst(options.stretches))
                    options.durationSecs += double(stretch.second);
                if (context.note)
                    context.note(QJsonObject{{"stream", QString::fromUtf8(request.target)},
                                             {"firstPictureTime", double(start)}});
            }
            if (options.durationSecs <= 0 || options.durationSecs > 48 * 3600)
                return Response::json(R"({"error":"bad stretch"})", 400);
            options.clockStartSecs = start;
        }
        const QString workDir = context.workDir;
        QObject* owner = context.owner;
        return {200, "video/x-flv", QByteArray(), [options, workDir, owner](QTcpSocket* socket) {
                    new FlvStream(socket, options, workDir, owner);
                }, {}};
    }
    return {0, QByteArray(), QByteArray(), {}, {}};
}

qint64 CameraRoutes::livePhaseMs(const CameraSpec& camera, qint64 loopMs)
{
    // Spread over the loop, the same for a camera every time.
    return qint64(camera.id) * 7919 % qMax<qint64>(1, loopMs);
}

Response CameraRoutes::cheapLive(const QSize& size, const CameraSpec& camera, const Context& context)
{
    QString error;
    std::shared_ptr<const FlvLoop> loop =
        FlvLoop::load(context.workDir + QLatin1Char('/') + loopFileName(size, camera.fps), &error);
    if (!loop) {
        qWarning("camsim: %s", qPrintable(error));
        return Response::json(compact(QJsonObject{{"error", error}}), 500);
    }
    const int dropAfterSecs = context.faults.dropStreamAfterSecs;
    QObject* owner = context.owner;
    const qint64 phaseMs = livePhaseMs(camera, loop->duration());
    return {200, "video/x-flv", QByteArray(), [loop, phaseMs, dropAfterSecs, owner](QTcpSocket* socket) {
                new FlvLiveStream(socket, loop, phaseMs, dropAfterSecs, owner);
            }, {}};
}

} // namespace Camsim
