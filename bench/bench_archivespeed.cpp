// Fast archive playback from camsim through clipworker, as the client plays it:
// for 1x, 8x and 32x, the time from the start of the worker to its first
// picture, and the archive speed the client would show (the worker's stream
// time times the speed, over the wall clock) over the following seconds.
#include "cameraroutes.h"
#include "simulator.h"
#include "workerrun.h"
#include "player/framefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <cstdio>

using OrvantaClient::GUI::Player::FrameFile;

namespace {

constexpr int measureSeconds = 10;

struct Figures
{
    double firstPictureSecs = -1;
    double shownSpeed = 0;
};

// The last "time" value the worker has reported, in milliseconds, or -1.
qint64 lastTime(const WorkerRun& worker)
{
    const QStringList lines = worker.lines();
    for (int i = lines.size() - 1; i >= 0; --i) {
        if (lines.at(i).startsWith(QLatin1String("time ")))
            return lines.at(i).mid(5).toLongLong();
    }
    return -1;
}

Figures run(const QString& url)
{
    FrameFile frames;
    frames.open();
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    {
        WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {url, frames.name()});
        if (!worker.waitForLine(QStringLiteral("frame"), 120000)) {
            std::fprintf(stderr, "no picture; errors: %s\n", qPrintable(worker.errors().right(2000)));
            return figures;
        }
        figures.firstPictureSecs = double(clock.nsecsElapsed()) / 1e9;
        // Let the first reports settle, then measure.
        QTest::qWait(1000);
        const qint64 from = lastTime(worker);
        QElapsedTimer window;
        window.start();
        QTest::qWait(measureSeconds * 1000);
        const qint64 to = lastTime(worker);
        if (from >= 0 && to > from)
            figures.shownSpeed = double(to - from) / double(window.elapsed());
    }
    QFile::remove(frames.path());
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Camsim::Simulator simulator(Camsim::Scenario::fromJson({}));
    if (!simulator.start()) {
        std::fprintf(stderr, "camsim: %s\n", qPrintable(simulator.errorString()));
        return 1;
    }
    const Camsim::ServerSpec& shop = simulator.scenario().localServers.first();
    const QString key = QStringLiteral("local:") + shop.name + QStringLiteral("_1");

    // The longest record of yesterday (or the day before), from its start.
    QPair<qint64, qint64> longest{0, 0};
    qint64 dayEnd = 0;
    for (int back = 1; back < 4 && longest.second == 0; ++back) {
        const QDateTime midnight(QDate::currentDate().addDays(-back), QTime(0, 0));
        for (const auto& stretch : Camsim::CameraRoutes::recordedStretches(key, midnight.toSecsSinceEpoch(),
                                                                          midnight.addDays(1).toSecsSinceEpoch())) {
            if (stretch.second > longest.second)
                longest = stretch;
            dayEnd = stretch.first + stretch.second;
        }
    }
    if (longest.second == 0) {
        std::fprintf(stderr, "no recordings found\n");
        return 1;
    }

    std::printf("speed | first picture | shown speed | off by\n");
    for (int speed : {1, 8, 32}) {
        const QString url = QStringLiteral("http://127.0.0.1:%1/flv/archive?server=1&camera=1&q=1&sessionId=%2"
                                           "&vcodec=h264&vcodec=flv&vcodec=mpeg4&acodec=mp3&startTime=%3&endTime=%4&speed=%5")
                                .arg(simulator.localPorts().first())
                                .arg(QString::fromUtf8(QUrl::toPercentEncoding(shop.password)))
                                .arg(longest.first)
                                .arg(dayEnd)
                                .arg(speed);
        const Figures figures = run(url);
        std::printf("%5dx | %11.2f s | %10.2fx | %5.1f%%\n", speed, figures.firstPictureSecs, figures.shownSpeed * speed,
                    figures.shownSpeed > 0 ? (figures.shownSpeed - 1.0) * 100.0 : -100.0);
        std::fflush(stdout);
    }
    return 0;
}
