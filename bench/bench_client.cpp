// The whole client on a wall of cameras: camsim in cheap mode (640x480, 25 fps,
// smaller for the light qualities) serves a local server of 36 cameras; one
// 1600x900 window shows grids of 1, 4, 9, 16, 25 and 36 of them with the
// automatic quality on and the real workers, started from this program's folder
// as watchdesk starts them. First, where one worker's first picture goes: its
// start, libvlc's, the stream's opening and probing, the first picture. Then for
// each grid, over the same wall-clock stretch: pictures shown per second per
// camera (new pictures painted in the cells), CPU of this process (it stands for
// watchdesk) and of all workers together, their memory, and the time from
// opening the layout to the last cell's first picture. Then ffmpeg decodes the
// same streams to nowhere for as long, as the yardstick.
//   bench_client [SECONDS [CAMERAS...]]      default: 60 s, 1 4 9 16 25 36
// Environment: BENCH_WINDOW=WxH (1600x900), BENCH_QUALITY=0|1|2 for a fixed quality,
// BENCH_FRAMEPUMP=1 for framepump on the local cameras, BENCH_LOG=FILE keeps the client's log.
#include "camsimwall.h"
#include "clientbench.h"
#include "figures.h"
#include "paintcounter.h"
#include "procinfo.h"
#include "core/logger.h"
#include "core/settings.h"
#include "player/framefile.h"
#include "gui/grid/layoutwidget.h"
#include "gui/player/videowidget.h"
#include "model/layout.h"
#include "model/localserver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <vector>

#include <unistd.h>

using namespace OrvantaClient;
using GUI::Player::VideoWidget;

namespace {

using namespace Bench;

constexpr int maxCameras = 36;

// CPU of a group of processes over a stretch of time: each one's ticks from the
// start of the stretch (or its birth) to its last sample. One that ends inside
// the stretch loses at most the last sampling period.
class CpuMeter
{
public:
    CpuMeter(int parent, QList<QByteArray> names) : m_parent(parent), m_names(std::move(names)) {}

    // Remembers every process seen, from now on or since begin().
    void sample()
    {
        for (const ProcStat& stat : childrenOf(m_parent, m_names)) {
            auto it = m_seen.find(stat.pid);
            if (it == m_seen.end())
                it = m_seen.emplace(stat.pid, Entry{m_counting ? 0 : stat.ticks, stat.ticks, 0}).first;
            it->second.last = stat.ticks;
            if (m_counting)
                it->second.peakKb = std::max(it->second.peakKb, peakKb(stat.pid));
        }
    }
    void begin()
    {
        m_seen.clear();
        m_counting = false;
        sample();
        m_counting = true;
        m_atBegin = int(m_seen.size());
    }
    // Processes that came after begin(): restarts, for the workers.
    int newcomers() const { return int(m_seen.size()) - m_atBegin; }
    double seconds() const
    {
        qint64 ticks = 0;
        for (const auto& entry : m_seen)
            ticks += entry.second.last - entry.second.first;
        return double(ticks) / ticksPerSecond;
    }
    int processes() const { return int(m_seen.size()); }
    qint64 maxPeakKb() const
    {
        qint64 peak = 0;
        for (const auto& entry : m_seen)
            peak = std::max(peak, entry.second.peakKb);
        return peak;
    }
    qint64 sumPeakKb() const
    {
        qint64 sum = 0;
        for (const auto& entry : m_seen)
            sum += entry.second.peakKb;
        return sum;
    }
    std::vector<int> pids() const
    {
        std::vector<int> list;
        for (const auto& entry : m_seen)
            list.push_back(entry.first);
        return list;
    }

private:
    struct Entry
    {
        qint64 first;
        qint64 last;
        qint64 peakKb;
    };
    int m_parent;
    QList<QByteArray> m_names;
    std::map<int, Entry> m_seen;
    bool m_counting = false;
    int m_atBegin = 0;
};

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop, calling tick every period, for the given time.
void runFor(double seconds, int periodMs, const std::function<void()>& tick)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < qint64(seconds * 1000)) {
        waitMs(int(std::min<qint64>(periodMs, qint64(seconds * 1000) - clock.elapsed())));
        tick();
    }
}

struct ClientFigures
{
    int cameras = 0;
    QSize cell;
    QString qualities;
    double firstMs = -1; // first cell's first picture
    double lastMs = -1;  // last cell's first picture; -1 when some cell never showed one
    int withPicture = 0;
    double seconds = 0;
    std::vector<double> fps;       // shown per camera
    std::vector<double> delivered; // announced by the workers per camera
    double ownCpu = 0;
    double workersCpu = 0;
    int workersStarted = 0; // from opening the layout to the end
    int workersAtEnd = 0;
    int restartsMeasured = 0; // workers started while measuring
    qint64 ownPeakKb = 0;
    MemoryShare ownShare;
    std::vector<MemoryShare> workerShares; // of the workers alive at the end
    qint64 workerPeakMaxKb = 0;
    qint64 workerPeakSumKb = 0;
    double camsimCpu = 0;
    double machineCpu = 0;
    QStringList urls;
};

struct FfmpegFigures
{
    double cpu = 0;
    double seconds = 0;
    double fps = 0; // mean per stream
    qint64 peakMaxKb = 0;
    qint64 peakSumKb = 0;
    double camsimCpu = 0;
    double machineCpu = 0;
};

ClientFigures runClient(int cameras, const std::shared_ptr<API::LocalServer>& server, const QSize& windowSize,
                        int fixedQuality, double seconds, int camsimPid)
{
    ClientFigures figures;
    figures.cameras = cameras;
    const int side = int(std::ceil(std::sqrt(double(cameras))));
    auto layout = std::make_shared<API::Layout>();
    layout->resize(side, side);
    for (int i = 1; i <= cameras; ++i)
        layout->addCamera(server->item(i));

    resetOwnPeak();
    CpuMeter workers(int(getpid()), {"clipworker", "framepump"});
    workers.begin();

    auto window = std::make_unique<QWidget>();
    auto* box = new QVBoxLayout(window.get());
    box->setContentsMargins(0, 0, 0, 0);
    auto* grid = new GUI::LayoutWidget(window.get());
    box->addWidget(grid);
    window->resize(windowSize);
    if (fixedQuality >= 0)
        grid->setQuality(fixedQuality);

    // The window is up before the layout opens, as in the application.
    window->show();
    waitMs(300);
    QElapsedTimer clock;
    clock.start();
    grid->setLayout(layout);
    std::vector<PaintCounter*> counters;
    for (VideoWidget* player : grid->players())
        counters.push_back(new PaintCounter(player, clock));

    // Up to a minute for every cell's first picture; workers are counted as they come.
    auto allShown = [&] {
        return std::all_of(counters.begin(), counters.end(), [](PaintCounter* c) { return c->firstMs >= 0; });
    };
    // Looking through /proc costs this process time too: not at every check.
    for (int check = 0; !allShown() && clock.elapsed() < 60000; ++check) {
        waitMs(50);
        if (check % 4 == 3)
            workers.sample();
    }
    for (PaintCounter* counter : counters) {
        if (counter->firstMs < 0)
            continue;
        ++figures.withPicture;
        figures.firstMs = figures.firstMs < 0 ? counter->firstMs : std::min<double>(figures.firstMs, counter->firstMs);
        figures.lastMs = std::max<double>(figures.lastMs, counter->firstMs);
    }
    if (figures.withPicture < cameras)
        figures.lastMs = -1;
    // A wall nobody points at: the cells' bars have slid away (4 s after the
    // last mouse move) and the automatic quality has settled.
    const qint64 settled = std::max<qint64>(clock.elapsed() + 3000, 7000);
    while (clock.elapsed() < settled) {
        waitMs(200);
        workers.sample();
    }

    std::vector<qint64> shownAtStart, deliveredAtStart;
    const QList<VideoWidget*> players = grid->players();
    for (int i = 0; i < players.size(); ++i) {
        shownAtStart.push_back(counters.at(i)->shown);
        deliveredAtStart.push_back(players.at(i)->frameCount());
    }
    std::printf("  measuring %d cameras for %.0f s\n", cameras, seconds);
    std::fflush(stdout);
    CpuMeter steady(int(getpid()), {"clipworker", "framepump"});
    steady.begin();
    const double ownBefore = selfCpuSeconds();
    const double camsimBefore = treeTicks(camsimPid);
    const double machineBefore = machineBusySeconds();
    QElapsedTimer window_clock;
    window_clock.start();
    runFor(seconds, 1000, [&] { steady.sample(); });
    steady.sample();
    figures.seconds = window_clock.elapsed() / 1000.0;
    figures.ownCpu = selfCpuSeconds() - ownBefore;
    figures.camsimCpu = treeTicks(camsimPid) - camsimBefore;
    figures.machineCpu = machineBusySeconds() - machineBefore;
    figures.workersCpu = steady.seconds();
    figures.restartsMeasured = steady.newcomers();
    figures.ownPeakKb = peakKb(int(getpid()));
    figures.workerPeakMaxKb = steady.maxPeakKb();
    figures.workerPeakSumKb = steady.sumPeakKb();
    const std::vector<ProcStat> alive = childrenOf(int(getpid()), {"clipworker", "framepump"});
    figures.workersAtEnd = int(alive.size());
    figures.ownShare = memoryShare(int(getpid()));
    for (const ProcStat& worker : alive)
        figures.workerShares.push_back(memoryShare(worker.pid));
    // Workers met while measuring that were not there before are restarts.
    std::vector<int> started = workers.pids();
    for (int pid : steady.pids())
        if (std::find(started.begin(), started.end(), pid) == started.end())
            started.push_back(pid);
    figures.workersStarted = int(started.size());
    for (int i = 0; i < players.size(); ++i) {
        figures.fps.push_back((counters.at(i)->shown - shownAtStart.at(i)) / figures.seconds);
        figures.delivered.push_back((players.at(i)->frameCount() - deliveredAtStart.at(i)) / figures.seconds);
    }
    QStringList qualities;
    for (VideoWidget* player : players) {
        qualities << QString::number(player->quality());
        figures.urls << player->camera()->liveUrl(player->quality());
        figures.cell = player->size();
    }
    qualities.removeDuplicates();
    figures.qualities = qualities.join(QLatin1Char('/'));
    window.reset(); // the players end their workers
    return figures;
}

// Moments of one worker's start, in ms from starting its process; -1 when not seen.
struct StartupMarks
{
    double started = -1;   // the process runs
    double firstLine = -1; // libvlc is up: its first event
    double opening = -1;   // "state 1": the stream is being opened
    double playing = -1;   // "state 3": connected and probed, decoding
    double size = -1;      // the first picture is set up
    double frame = -1;     // the first picture is in the frame file
};

StartupMarks workerStartup(const QString& url)
{
    StartupMarks marks;
    GUI::Player::FrameFile file;
    if (!file.open())
        return marks;
    QProcess worker;
    QElapsedTimer clock;
    clock.start();
    worker.start(QCoreApplication::applicationDirPath() + QStringLiteral("/clipworker"), {url, file.name()});
    if (worker.waitForStarted(10000))
        marks.started = clock.nsecsElapsed() / 1e6;
    worker.write("volume 0\n"); // as a cell of a wall hears it
    QByteArray pending;
    while (marks.frame < 0 && clock.elapsed() < 20000 && worker.state() == QProcess::Running) {
        if (!worker.waitForReadyRead(50))
            continue;
        const double now = clock.nsecsElapsed() / 1e6;
        pending += worker.readAllStandardOutput();
        if (marks.firstLine < 0 && pending.contains('\n'))
            marks.firstLine = now;
        while (pending.contains('\n')) {
            const int end = pending.indexOf('\n');
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            double* mark = line == "state 1" ? &marks.opening
                : line == "state 3"           ? &marks.playing
                : line.startsWith("size ")    ? &marks.size
                : line == "frame"             ? &marks.frame
                                              : nullptr;
            if (mark && *mark < 0)
                *mark = now;
        }
    }
    worker.kill();
    worker.waitForFinished(5000);
    QFile::remove(file.path());
    return marks;
}

void printStartup(const QString& url, int runs)
{
    std::vector<StartupMarks> all;
    for (int i = 0; i < runs; ++i) {
        all.push_back(workerStartup(url));
        // Each run at another moment of the camera's 2 s group of pictures,
        // which decides how much of the stream comes at once.
        waitMs(500 + i * 730 % 2000);
    }
    const auto column = [&all](double StartupMarks::*mark) {
        std::vector<double> values;
        for (const StartupMarks& marks : all)
            values.push_back(marks.*mark);
        std::sort(values.begin(), values.end());
        return QStringLiteral("%1 (%2 to %3)")
            .arg(median(values), 0, 'f', 0)
            .arg(values.front(), 0, 'f', 0)
            .arg(values.back(), 0, 'f', 0);
    };
    std::printf("One clipworker on %s, %d runs, ms from starting it, median (lowest to highest):\n", qPrintable(url), runs);
    std::printf("  process runs %s, libvlc up (first line) %s, opening %s, playing (connected, probed) %s,\n"
                "  first picture set up %s, first picture %s\n",
                qPrintable(column(&StartupMarks::started)), qPrintable(column(&StartupMarks::firstLine)),
                qPrintable(column(&StartupMarks::opening)), qPrintable(column(&StartupMarks::playing)),
                qPrintable(column(&StartupMarks::size)), qPrintable(column(&StartupMarks::frame)));
    std::fflush(stdout);
}

FfmpegFigures runFfmpeg(const QStringList& urls, double seconds, int camsimPid)
{
    FfmpegFigures figures;
    std::vector<std::unique_ptr<QProcess>> decoders;
    for (const QString& url : urls) {
        auto ffmpeg = std::make_unique<QProcess>();
        ffmpeg->setProcessChannelMode(QProcess::SeparateChannels);
        ffmpeg->start(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                       url, QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-progress"),
                       QStringLiteral("pipe:1"), QStringLiteral("-")});
        decoders.push_back(std::move(ffmpeg));
    }
    // The progress lines carry the number of pictures decoded so far.
    std::vector<qint64> frames(decoders.size(), 0);
    const QRegularExpression frameLine(QStringLiteral("(?:^|\\n)frame=(\\d+)"));
    auto readFrames = [&] {
        for (size_t i = 0; i < decoders.size(); ++i) {
            const QString text = QString::fromLatin1(decoders[i]->readAllStandardOutput());
            auto matches = frameLine.globalMatch(text);
            while (matches.hasNext())
                frames[i] = matches.next().captured(1).toLongLong();
        }
    };
    // Past the start-up, as for the client: every decoder under way (ffmpeg
    // probes a few seconds of stream first), then a little more.
    QElapsedTimer startup;
    startup.start();
    while (std::any_of(frames.begin(), frames.end(), [](qint64 n) { return n == 0; }) && startup.elapsed() < 20000)
        runFor(0.5, 500, readFrames);
    runFor(3.0, 500, readFrames);
    const std::vector<qint64> framesAtStart = frames;
    CpuMeter meter(int(getpid()), {"ffmpeg"});
    meter.begin();
    const double camsimBefore = treeTicks(camsimPid);
    const double machineBefore = machineBusySeconds();
    QElapsedTimer clock;
    clock.start();
    runFor(seconds, 1000, [&] {
        meter.sample();
        readFrames();
    });
    meter.sample();
    figures.seconds = clock.elapsed() / 1000.0;
    figures.cpu = meter.seconds();
    figures.camsimCpu = treeTicks(camsimPid) - camsimBefore;
    figures.machineCpu = machineBusySeconds() - machineBefore;
    figures.peakMaxKb = meter.maxPeakKb();
    figures.peakSumKb = meter.sumPeakKb();
    qint64 decoded = 0;
    for (size_t i = 0; i < frames.size(); ++i)
        decoded += frames[i] - framesAtStart[i];
    figures.fps = decoded / figures.seconds / std::max<size_t>(1, decoders.size());
    for (auto& ffmpeg : decoders) {
        ffmpeg->kill();
        ffmpeg->waitForFinished(5000);
    }
    return figures;
}

} // namespace

int main(int argc, char* argv[])
{
    ClientBench bench(argc, argv);
    const double seconds = argc > 1 ? std::max(5.0, atof(argv[1])) : 60.0;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i)
        counts.push_back(std::clamp(atoi(argv[i]), 1, maxCameras));
    if (counts.empty())
        counts = {1, 4, 9, 16, 25, 36};
    const QSize windowSize = ClientBench::windowSize();
    const int fixedQuality = qEnvironmentVariableIsSet("BENCH_QUALITY") ? qEnvironmentVariableIntValue("BENCH_QUALITY")
                                                                        : -1;

    Bench::CamsimWall camsim(maxCameras);
    if (!camsim.start(QStringLiteral(CAMSIM_BIN)))
        return 1;
    const int camsimPid = camsim.pid();
    const std::shared_ptr<API::LocalServer> server = camsim.server();

    std::printf("Client on camsim, cheap mode (640x480 at 25 fps, light qualities smaller), window %dx%d, quality %s, %.0f s per grid, "
                "QPA %s, %ld cores\n",
                windowSize.width(), windowSize.height(),
                fixedQuality >= 0 ? qPrintable(QString::number(fixedQuality)) : "automatic", seconds,
                qPrintable(QGuiApplication::platformName()), sysconf(_SC_NPROCESSORS_ONLN));
    std::fflush(stdout);
    printStartup(server->item(1)->liveUrl(2), 8);
    struct Row
    {
        ClientFigures client;
        FfmpegFigures ffmpeg;
    };
    std::vector<Row> rows;
    for (int cameras : counts) {
        Row row;
        row.client = runClient(cameras, server, windowSize, fixedQuality, seconds, camsimPid);
        waitMs(1000); // the workers are gone and camsim has closed their streams
        row.ffmpeg = runFfmpeg(row.client.urls, seconds, camsimPid);
        rows.push_back(row);
        const ClientFigures& c = row.client;
        std::printf("  %2d cameras done: %zu with pictures, fps min %.1f, workers restarted while measuring: %d\n",
                    cameras, size_t(c.withPicture), c.fps.empty() ? 0.0 : *std::min_element(c.fps.begin(), c.fps.end()),
                    c.restartsMeasured);
        std::fflush(stdout);
    }

    std::printf("\n%-7s %-9s %-7s %9s %9s | %-17s %9s | %9s %9s %9s | %9s %7s | %9s %9s\n", "cameras", "cell",
                "quality", "first ms", "last ms", "shown fps min/med", "delivered", "client %", "workers %", "total %",
                "ffmpeg %", "ratio", "camsim %", "others %");
    for (const Row& row : rows) {
        const ClientFigures& c = row.client;
        const double total = c.ownCpu + c.workersCpu;
        const double others = c.machineCpu - c.ownCpu - c.workersCpu - c.camsimCpu;
        std::printf("%-7d %-9s %-7s %9.0f %9s | %7.1f / %7.1f %9.1f | %9.0f %9.0f %9.0f | %9.0f %6.2fx | %9.0f %9.0f\n",
                    c.cameras, qPrintable(QStringLiteral("%1x%2").arg(c.cell.width()).arg(c.cell.height())),
                    qPrintable(c.qualities), c.firstMs,
                    c.lastMs >= 0 ? qPrintable(QString::number(c.lastMs, 'f', 0)) : "never",
                    *std::min_element(c.fps.begin(), c.fps.end()), median(c.fps), median(c.delivered),
                    100 * c.ownCpu / c.seconds, 100 * c.workersCpu / c.seconds, 100 * total / c.seconds,
                    100 * row.ffmpeg.cpu / row.ffmpeg.seconds,
                    row.ffmpeg.cpu > 0 ? (total / c.seconds) / (row.ffmpeg.cpu / row.ffmpeg.seconds) : 0.0,
                    100 * c.camsimCpu / c.seconds, 100 * std::max(0.0, others) / c.seconds);
    }
    std::printf("\n%-7s %12s %14s %14s %12s %10s %14s %14s %10s\n", "cameras", "client MB", "worker max MB",
                "workers sum MB", "worker CPU %", "started", "ffmpeg max MB", "ffmpeg sum MB", "ffmpeg fps");
    for (const Row& row : rows) {
        const ClientFigures& c = row.client;
        std::printf("%-7d %12.1f %14.1f %14.1f %12.1f %10d %14.1f %14.1f %10.1f\n", c.cameras, c.ownPeakKb / 1024.0,
                    c.workerPeakMaxKb / 1024.0, c.workerPeakSumKb / 1024.0,
                    100 * c.workersCpu / c.seconds / std::max(1, c.cameras), c.workersStarted,
                    row.ffmpeg.peakMaxKb / 1024.0, row.ffmpeg.peakSumKb / 1024.0, row.ffmpeg.fps);
    }
    std::printf("\n%-7s %16s %16s %22s %22s %16s\n", "cameras", "client PSS MB", "client own MB",
                "worker own MB med/max", "worker PSS MB med/max", "workers PSS sum");
    for (const Row& row : rows) {
        const ClientFigures& c = row.client;
        std::vector<double> own, pss;
        double pssSum = 0;
        for (const MemoryShare& share : c.workerShares) {
            own.push_back(share.privateKb / 1024.0);
            pss.push_back(share.pssKb / 1024.0);
            pssSum += share.pssKb / 1024.0;
        }
        const auto medMax = [](const std::vector<double>& values) {
            return values.empty() ? QStringLiteral("-")
                                  : QStringLiteral("%1 / %2")
                                        .arg(median(values), 0, 'f', 1)
                                        .arg(*std::max_element(values.begin(), values.end()), 0, 'f', 1);
        };
        std::printf("%-7d %16.1f %16.1f %22s %22s %16.1f\n", c.cameras, c.ownShare.pssKb / 1024.0,
                    c.ownShare.privateKb / 1024.0, qPrintable(medMax(own)), qPrintable(medMax(pss)), pssSum);
    }
    std::printf(
        "\nfirst/last ms: from opening the layout to the first and the last cell's first picture; shown fps: new\n"
        "pictures painted per second per camera (lowest and median camera); delivered: pictures the workers announced\n"
        "per second (median camera); CPU in %% of one core over the same stretch (200%% = both cores): client = this\n"
        "process, standing for watchdesk; workers = all worker processes together; ratio = (client + workers) / ffmpeg\n"
        "decoding the same streams with -f null; camsim = the simulator and its stream processes, not part of the\n"
        "total; others = the rest of the machine meanwhile (other programs disturb the figures when high).\n"
        "MB: peak resident memory (VmHWM); started: worker processes from opening the layout to the end.\n"
        "PSS: proportional set size at the end of the stretch (shared pages divided among the processes mapping\n"
        "them); own: pages only that process maps (private clean + dirty), what one more worker costs.\n");
    camsim.stop();
    return 0;
}
