// A large roster in the main window: camsim serves N cloud cameras (every eighth
// offline) on servers of 1000; this program signs in as watchdesk does, opens a
// 1600x900 main window, waits for the side bar to show the first camera card,
// scrolls the camera list (ten pages one after another, then twenty jumps spread
// over the whole list, then back to the top) and stays until 40 s after the
// sign-in, so that the roster's reload (every 30 s) falls inside. Printed per N:
//   - the longest gap between the ticks of a 10 ms timer on the GUI thread, from
//     the sign-in to the end (the GUI thread's longest stall, plus up to 10 ms),
//     and the longest of each stretch: sign-in to one second after the first
//     card shown, the scrolling and a second after it, the rest; on a machine
//     busy with other work a gap also holds the time the thread waited for a core,
//   - the most CPU time the GUI thread used between two ticks (its own stall,
//     whatever the machine's load),
//   - the time from the sign-in to the first camera card shown,
//   - the preview requests camsim received,
//   - the peak resident memory of this process (VmHWM),
//   - the camera card widgets alive at the end,
//   - the preview cache at the end: pictures held in memory (and their bytes)
//     and the cached preview files on disk (and their bytes).
// Each N runs in a process of its own (the same program with "--one N"), so the
// peaks of one do not hide those of another.
//   bench_roster [CAMERAS...]        default: 1000 5000
// BENCH_BUSY=1 prints each stretch over 50 ms of the GUI thread's own CPU with
// the CLOCK_MONOTONIC time it ended, to find it in `perf record -k CLOCK_MONOTONIC`.
#include "api/cloudapiclient.h"
#include "core/logger.h"
#include "core/storagepaths.h"
#include "gui/mainwindow/mainwindow.h"
#include "gui/sidebar/cameracard.h"
#include "gui/sidebar/sidebar.h"
#include "gui/sidebar/sidebarroster.h"
#include "gui/sidebar/sidebarserver.h"
#include "model/camera.h"
#include "model/server.h"
#include "stores/layouts.h"
#include "stores/roster.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include <time.h>

using namespace OrvantaClient;

namespace {

constexpr int heartbeatMs = 10;
constexpr int runMs = 40000;

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        waitMs(5);
    }
    return true;
}

qint64 threadCpuUs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void discardMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

qint64 peakKb()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// The longest stretch between two ticks of a timer on the GUI thread.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(heartbeatMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 gap = m_clock.restart();
            m_longest = qMax(m_longest, gap);
            m_lap = qMax(m_lap, gap);
            const qint64 cpu = threadCpuUs();
            m_longestBusyUs = qMax(m_longestBusyUs, cpu - m_lastCpuUs);
            if (m_tellBusy && cpu - m_lastCpuUs > 50000) {
                timespec end{};
                clock_gettime(CLOCK_MONOTONIC, &end);
                std::fprintf(stderr, "busy %lld ms (gap %lld ms) ending at %ld.%06ld\n",
                             static_cast<long long>((cpu - m_lastCpuUs) / 1000), static_cast<long long>(gap),
                             long(end.tv_sec), long(end.tv_nsec / 1000));
            }
            m_lastCpuUs = cpu;
        });
        m_clock.start();
        m_lastCpuUs = threadCpuUs();
        m_timer.start();
    }
    // The most CPU time the GUI thread spent between two ticks: the stall of
    // the client's own making, whatever else the machine runs.
    qint64 longestBusyMs() const { return m_longestBusyUs / 1000; }
    qint64 longestMs() const { return qMax(m_longest, m_clock.elapsed()); }
    // The longest since the last lap, and a new lap.
    qint64 lap()
    {
        const qint64 longest = qMax(m_lap, m_clock.elapsed());
        m_lap = 0;
        return longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    const bool m_tellBusy = qEnvironmentVariableIsSet("BENCH_BUSY");
    qint64 m_longest = 0;
    qint64 m_lap = 0;
    qint64 m_lastCpuUs = 0;
    qint64 m_longestBusyUs = 0;
};

QScrollArea* scrollAreaOf(QWidget* widget)
{
    for (QWidget* up = widget; up; up = up->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(up))
            return area;
    }
    return nullptr;
}

GUI::CameraCard* firstCard(GUI::SideBarRoster* roster)
{
    const QList<GUI::SideBarServer*> sections = roster->sections();
    if (sections.isEmpty())
        return nullptr;
    const QList<GUI::CameraCard*> cards = sections.first()->cards();
    return cards.isEmpty() ? nullptr : cards.first();
}

int runOne(int cameras)
{
    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toUtf8());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "bench_roster";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta Client"));
    // camsim offers a newer version; its question would hold the run up.
    app.setProperty("updateNotified", true);

    QFile config(dir.filePath(QStringLiteral("camsim.json")));
    config.open(QIODevice::WriteOnly);
    config.write(QJsonDocument(QJsonObject{{"cloudServers", QJsonArray()},
                                           {"localServers", QJsonArray()},
                                           {"cameras", cameras}})
                     .toJson());
    config.close();
    const QString work = dir.filePath(QStringLiteral("work"));
    QProcess camsim;
    camsim.start(QStringLiteral(CAMSIM_BIN), {QStringLiteral("--config"), config.fileName(),
                                              QStringLiteral("--workdir"), work});
    QByteArray camsimSays;
    QElapsedTimer clock;
    clock.start();
    while (!camsimSays.contains("local servers on") && clock.elapsed() < 60000
           && camsim.state() != QProcess::NotRunning) {
        camsim.waitForReadyRead(500);
        camsimSays += camsim.readAllStandardError();
    }
    if (!camsimSays.contains("local servers on")) {
        std::fprintf(stderr, "camsim did not start: %s\n", camsimSays.constData());
        return 1;
    }
    // Its request log, one line per request, is counted at the end.
    QByteArray requests;
    QObject::connect(&camsim, &QProcess::readyReadStandardOutput, [&] { requests += camsim.readAllStandardOutput(); });
    QDir::setCurrent(work);
    // The client logs as it does in use: to its file, not to this terminal.
    qInstallMessageHandler(discardMessages);
    App::Logger::open(dir.filePath(QStringLiteral("client.log")));
    QDir().mkpath(App::StoragePaths::cacheDir()); // as the application makes it at start

    Heartbeat heartbeat;
    API::CloudAPIClient client;
    bool signedIn = false;
    QObject::connect(&client, &API::CloudAPIClient::loginSuccess, [&] { signedIn = true; });
    client.tryLogin(QStringLiteral("demo@orvanta.example"), QStringLiteral("demo"));
    if (!waitUntil([&] { return signedIn; }, 20000)) {
        std::fprintf(stderr, "could not sign in to camsim\n");
        return 1;
    }

    clock.restart();
    auto* window = new GUI::MainWindow;
    window->resize(1600, 900);
    window->show();
    App::Roster::instance()->login();
    App::Layouts::instance()->login();
    GUI::SideBarRoster* roster = window->sideBar()->roster();
    if (!waitUntil([&] { GUI::CameraCard* card = firstCard(roster); return card && card->isVisible(); }, 120000)) {
        std::fprintf(stderr, "the roster was not shown within 120 s\n");
        return 1;
    }
    const qint64 shownMs = clock.elapsed();
    waitMs(1000);
    const qint64 showingStall = heartbeat.lap();

    QScrollBar* bar = scrollAreaOf(roster)->verticalScrollBar();
    for (int page = 1; page <= 10; ++page) {
        bar->setValue(bar->value() + bar->pageStep());
        waitMs(150);
    }
    for (int jump = 1; jump <= 20; ++jump) {
        bar->setValue(int(qint64(bar->maximum()) * jump / 20));
        waitMs(300);
    }
    bar->setValue(0);
    waitMs(1000);
    const qint64 scrollingStall = heartbeat.lap();
    waitMs(int(qMax<qint64>(1000, runMs - clock.elapsed())));
    const qint64 idleStall = heartbeat.lap();

    qint64 heldPictures = 0, heldBytes = 0;
    for (const API::ServerPtr& server : App::Roster::instance()->items()) {
        for (const API::CameraPtr& camera : server->items()) {
            const QPixmap preview = camera->preview();
            if (preview.isNull())
                continue;
            ++heldPictures;
            heldBytes += qint64(preview.width()) * preview.height() * preview.depth() / 8;
        }
    }
    qint64 files = 0, fileBytes = 0;
    for (QDirIterator it(App::StoragePaths::cacheDir(), {QStringLiteral("*.jpeg")}, QDir::Files); it.hasNext();) {
        it.next();
        ++files;
        fileBytes += it.fileInfo().size();
    }
    const int cards = window->findChildren<GUI::CameraCard*>().size();
    const qint64 longest = heartbeat.longestMs();
    const qint64 peak = peakKb();

    camsim.terminate();
    camsim.waitForFinished(10000);
    requests += camsim.readAllStandardOutput();
    const int previews = requests.count("\"path\":\"/preview/live\"");
    std::printf("%s\n", QJsonDocument(QJsonObject{{"cameras", cameras},
                                                  {"longestStallMs", double(longest)},
                                                  {"showingStallMs", double(showingStall)},
                                                  {"scrollingStallMs", double(scrollingStall)},
                                                  {"idleStallMs", double(idleStall)},
                                                  {"longestBusyMs", double(heartbeat.longestBusyMs())},
                                                  {"shownMs", double(shownMs)},
                                                  {"previewRequests", previews},
                                                  {"peakKb", double(peak)},
                                                  {"cards", cards},
                                                  {"heldPictures", double(heldPictures)},
                                                  {"heldBytes", double(heldBytes)},
                                                  {"files", double(files)},
                                                  {"fileBytes", double(fileBytes)}})
                            .toJson(QJsonDocument::Compact)
                            .constData());
    std::fflush(stdout);
    App::Logger::close();
    dir.remove();
    // The window and the stores go with the process: tearing down thousands of
    // widgets is not what is measured.
    std::_Exit(0);
}

double mb(const QJsonObject& row, const char* key, double unit)
{
    return row.value(QLatin1String(key)).toDouble() / unit;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--one")
        return runOne(qBound(1, atoi(argv[2]), 100000));

    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << qBound(1, atoi(argv[i]), 100000);
    if (counts.isEmpty())
        counts = {1000, 5000};
    std::printf("Roster in a 1600x900 main window, %d s per run, stall = longest gap between %d ms GUI-thread timer ticks\n",
                runMs / 1000, heartbeatMs);
    std::printf("| cameras | longest stall (showing / scrolling / rest) | its own CPU | roster shown | preview requests | peak memory (VmHWM) | card widgets "
                "| previews in memory | preview files on disk |\n");
    std::printf("| --- | --- | --- | --- | --- | --- | --- | --- | --- |\n");
    std::fflush(stdout);
    for (int cameras : counts) {
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        one.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--one"), QString::number(cameras)});
        one.waitForFinished(-1);
        const QList<QByteArray> lines = one.readAllStandardOutput().trimmed().split('\n');
        const QJsonObject row = QJsonDocument::fromJson(lines.last()).object();
        if (row.isEmpty()) {
            std::printf("| %d | failed (exit %d) | | | | | | | |\n", cameras, one.exitCode());
            continue;
        }
        std::printf("| %d | %.0f ms (%.0f / %.0f / %.0f) | %.0f ms | %.2f s | %d | %.0f MB | %d | %d, %.1f MB | %d, %.1f MB |\n", cameras,
                    mb(row, "longestStallMs", 1), mb(row, "showingStallMs", 1), mb(row, "scrollingStallMs", 1),
                    mb(row, "idleStallMs", 1), mb(row, "longestBusyMs", 1), mb(row, "shownMs", 1000), row.value("previewRequests").toInt(),
                    mb(row, "peakKb", 1024), row.value("cards").toInt(), row.value("heldPictures").toInt(),
                    mb(row, "heldBytes", 1048576), row.value("files").toInt(), mb(row, "fileBytes", 1048576));
        std::fflush(stdout);
    }
    return 0;
}
