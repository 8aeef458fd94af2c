// Time per repaint of the timeline: a full one, which redraws the intervals
// image, and a cheap one, which reuses it. A loopback local server hands every
// camera 300 records for the day.
#include "httptestserver.h"
#include "gui/timeline/timeline.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "resources/resources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QPainter>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>

using namespace OrvantaClient;
using OrvantaClient::GUI::Timeline;

namespace {

const QDate day(2026, 3, 10);
constexpr int recordsPerCamera = 300;

// 300 records spread over the day, each camera slightly out of step with the
// others, so that the bars of different cameras do not coincide.
QJsonArray records(int camera)
{
    QJsonArray answer;
    const qint64 dayStart = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
    const qint64 period = 86400000 / recordsPerCamera;
    for (int i = 0; i < recordsPerCamera; ++i) {
        const qint64 start = dayStart + i * period + camera * 7000;
        answer.append(QJsonObject{{"startTime", double(start)}, {"duration", double(period * 2 / 3)}});
    }
    return answer;
}

struct Figures
{
    double median = 0;
    double mean = 0;
};

enum class Repaint { NewRecords, NewRange, Cheap };

// NewRecords: the records changed (converted again, image redrawn); NewRange:
// the visible range moved by a second (image redrawn), as while panning;
// Cheap: only the marker moved (image reused).
Figures measure(Timeline& timeline, Repaint kind, int rounds)
{
    QImage target(timeline.size(), QImage::Format_ARGB32_Premultiplied);
    QVector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (kind == Repaint::NewRecords)
            timeline.onCamerasTimelineUpdated(timeline.date());
        else if (kind == Repaint::NewRange)
            timeline.setStartValue(timeline.startValue().addSecs(i % 2 ? 1 : -1));
        else
            timeline.addMSecs(40);
        timeline.render(&target);
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    Figures figures;
    figures.median = times.at(times.size() / 2);
    for (double t : times)
        figures.mean += t / times.size();
    return figures;
}

void report(Timeline& timeline, const char* title, int rounds)
{
    measure(timeline, Repaint::NewRecords, 20); // warm the font and glyph caches
    const Figures records = measure(timeline, Repaint::NewRecords, rounds);
    const Figures range = measure(timeline, Repaint::NewRange, rounds);
    const Figures cheap = measure(timeline, Repaint::Cheap, rounds);
    std::printf("%-26s new records %7.3f / %7.3f   new range %7.3f / %7.3f   cheap %6.3f / %6.3f\n", title,
                records.median, records.mean, range.median, range.mean, cheap.median, cheap.mean);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    registerResources();
    API::registerMetaTypes();
    // bench_timeline [rounds] [picture.png]: the picture shows the 16 cameras
    // at level 60 with a selection, for a look by eye.
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 300;
    const QString picture = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    HttpTestServer lan;
    lan.setHandler([](const HttpTestServer::Request& request) {
        const int camera = request.queryValue("camera").toInt();
        if (request.path.endsWith("archive/list"))
            return HttpTestServer::Response::json(200, QJsonDocument(records(camera)).toJson());
        return HttpTestServer::Response::json(404, "{}");
    });
    auto server = std::make_shared<API::LocalServer>("Bench", "127.0.0.1", lan.port(), "pw");
    QJsonArray cameras;
    for (int id = 1; id <= 16; ++id)
        cameras.append(QJsonObject{{"id", id}, {"name", QString("Camera %1").arg(id)}, {"online", true}});
    server->updateCameras(cameras);

    std::printf("timeline %dx45, %d records per camera, %d rounds\n",
                1280, recordsPerCamera, rounds);
    for (int count : {1, 16}) {
        auto layout = std::make_shared<API::Layout>();
        layout->resize(4, 4);
        for (int id = 1; id <= count; ++id)
            layout->addCamera(server->item(id));
        Timeline timeline;
        timeline.resize(1280, 45);
        timeline.changeDate(day);
        QSignalSpy loaded(layout.get(), &API::Layout::camerasTimelineUpdated);
        timeline.setLayout(layout);
        while (loaded.count() < count && loaded.wait(20000)) {
        }
        int held = 0;
        for (const API::CameraPtr& camera : layout->cameras())
            held += camera->records(day).size();
        if (held != count * recordsPerCamera) {
            std::fprintf(stderr, "records did not arrive: %d of %d\n", held, count * recordsPerCamera);
            return 1;
        }
        timeline.setCamera(layout->firstCamera());
        timeline.setPosition(QDateTime(day, QTime(13, 30)));
        report(timeline, qPrintable(QString("%1 camera(s), whole day").arg(count)), rounds);
        timeline.zoom(60);
        report(timeline, qPrintable(QString("%1 camera(s), level 60").arg(count)), rounds);
        if (count == 16 && !picture.isEmpty()) {
            timeline.startSelection();
            timeline.grab().save(picture);
        }
    }
    std::printf("milliseconds, median / mean; targets: full repaint of 16 cameras within 4 ms, cheap repaint within 0.5 ms\n");
    return 0;
}
