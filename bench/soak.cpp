#include "soak.h"

#include "camsimwall.h"
#include "figures.h"
#include "paintcounter.h"
#include "procinfo.h"
#include "gui/grid/layoutwidget.h"
#include "gui/player/videowidget.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>

#include <time.h>
#include <unistd.h>

using namespace OrvantaClient;
using GUI::Player::VideoWidget;

namespace Bench {

namespace {

constexpr qint64 cycleMs = 60000;
constexpr qint64 holdMs = 20000;      // the fault's part of each minute
constexpr qint64 sampleMs = 10000;
constexpr qint64 checkMs = 250;       // cells and workers looked at
constexpr qint64 movingMs = 2000;     // a cell moves: a new picture within this
constexpr qint64 heldUpMs = 1000;     // a check this late after the last one
constexpr qint64 heartbeatMs = 20;
constexpr qint64 stallMs = 100;
constexpr qint64 leakAfterMs = 10000; // a worker no cell owns for this long is lost
constexpr double warmupMinutes = 10;

struct FaultKind
{
    const char* name;
    QJsonObject switches;
};

const std::vector<FaultKind>& faultKinds()
{
    static const std::vector<FaultKind> kinds{
        {"drop streams after 3 s", {{"dropStreamAfterSecs", 3}}},
        {"stall (accept, never answer)", {{"stall", true}}},
        {"refuse connections", {{"refuse", true}}},
        {"HTTP 500", {{"status500", true}}},
        {"garbage answers", {{"garbage", true}}},
        {"slow answers (5 s)", {{"delayMs", 5000}}},
    };
    return kinds;
}

// CPU time of the calling thread in milliseconds.
qint64 threadCpuMs()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

QString clockText(qint64 ms)
{
    return QStringLiteral("%1:%2").arg(ms / 60000, 3).arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

void Soak::start(const QSize& windowSize)
{
    auto layout = std::make_shared<API::Layout>();
    layout->resize(4, 4);
    for (int i = 1; i <= m_camsim.cameras(); ++i)
        layout->addCamera(m_camsim.server()->item(i));
    m_window = std::make_unique<QWidget>();
    auto* box = new QVBoxLayout(m_window.get());
    box->setContentsMargins(0, 0, 0, 0);
    m_grid = new GUI::LayoutWidget(m_window.get());
    box->addWidget(m_grid);
    m_window->resize(windowSize);
    m_window->show();
    m_clock.start();
    m_grid->setLayout(layout);
    for (VideoWidget* player : m_grid->players())
        m_cells.emplace_back(player, new PaintCounter(player, m_clock));

    m_heartbeat.setTimerType(Qt::PreciseTimer);
    connect(&m_heartbeat, &QTimer::timeout, this, &Soak::heartbeat);
    m_heartbeat.start(int(heartbeatMs));
    connect(&m_checker, &QTimer::timeout, this, &Soak::check);
    m_checker.start(int(checkMs));
    connect(&m_sampler, &QTimer::timeout, this, &Soak::sample);
    m_sampler.start(int(sampleMs));
    m_busyAtStart = machineBusySeconds();
    std::printf("%s  start: 16 cells opened, waiting for their first pictures\n", qPrintable(clockText(0)));
    std::fflush(stdout);
    sample();
}

void Soak::heartbeat()
{
    const qint64 t = now();
    const qint64 cpu = threadCpuMs();
    if (m_lastBeat >= 0) {
        const qint64 gap = t - m_lastBeat;
        if (gap > stallMs) {
            ++m_stalls;
            if (gap > m_longestStall) {
                m_longestStall = gap;
                m_longestStallCpu = cpu - m_lastBeatCpu;
            }
            m_mostStallCpu = std::max(m_mostStallCpu, cpu - m_lastBeatCpu);
        }
    }
    m_lastBeat = t;
    m_lastBeatCpu = cpu;
}

bool Soak::allMoving() const
{
    return std::all_of(m_cells.begin(), m_cells.end(), [](const auto& cell) { return cell.second->moving(movingMs); });
}

QStringList Soak::stillCells() const
{
    QStringList names;
    for (const auto& [player, counter] : m_cells)
        if (!counter->moving(movingMs))
            names << player->camera()->name();
    return names;
}

// The workers the cells hold now: each cell's process, and a snapshot's if one runs.
std::set<int> Soak::ownedWorkers() const
{
    std::set<int> pids;
    for (const auto& cell : m_cells)
        for (const QProcess* process : cell.first->findChildren<QProcess*>())
            if (process->state() != QProcess::NotRunning)
                pids.insert(int(process->processId()));
    return pids;
}

void Soak::check()
{
    const qint64 t = now();
    // The cycles start once every cell has shown a picture, or after a minute.
    if (m_cycle < 0) {
        const bool up = std::all_of(m_cells.begin(), m_cells.end(), [](const auto& c) { return c.second->firstMs >= 0; });
        if (up || t > 60000) {
            std::printf("%s  %s; the fault cycles begin\n", qPrintable(clockText(t)),
                        up ? "every cell shows pictures" : "not every cell shows pictures after a minute");
            m_startMs = t;
            m_startupStalls = m_stalls;
            m_longestStartupStall = m_longestStall;
            m_stalls = 0;
            m_longestStall = m_longestStallCpu = m_mostStallCpu = 0;
            beginCycle();
        }
    }
    // A check held up with the GUI thread (a machine too busy to run it)
    // finds every cell without a recent paint: it does not judge them.
    const bool heldUp = m_lastCheck >= 0 && t - m_lastCheck > heldUpMs;
    m_lastCheck = t;
    if (m_windowStart >= 0 && !heldUp && !allMoving())
        m_lastStill = t;

    const std::set<int> owned = ownedWorkers();
    int live = 0, unowned = 0, zombies = 0;
    std::set<int> seenUnowned, seenZombies;
    for (const ProcStat& worker : childrenOf(int(getpid()), {"clipworker", "framepump"})) {
        if (worker.state == 'Z') {
            ++zombies;
            seenZombies.insert(worker.pid);
            const qint64 since = m_zombieSince.emplace(worker.pid, t).first->second;
            if (t - since > leakAfterMs)
                m_unreaped.insert(worker.pid);
            continue;
        }
        ++live;
        if (owned.count(worker.pid))
            continue;
        ++unowned;
        seenUnowned.insert(worker.pid);
        const qint64 since = m_unownedSince.emplace(worker.pid, t).first->second;
        if (t - since > leakAfterMs)
            m_leaked.insert(worker.pid);
    }
    for (auto it = m_unownedSince.begin(); it != m_unownedSince.end();)
        it = seenUnowned.count(it->first) ? std::next(it) : m_unownedSince.erase(it);
    for (auto it = m_zombieSince.begin(); it != m_zombieSince.end();)
        it = seenZombies.count(it->first) ? std::next(it) : m_zombieSince.erase(it);
    m_maxWorkers = std::max(m_maxWorkers, live);
    m_maxUnowned = std::max(m_maxUnowned, unowned);
    m_maxZombies = std::max(m_maxZombies, zombies);
    // The bound: one worker per cell, plus the ones being replaced, which no
    // cell holds any more for a moment (a cell's snapshot worker would count
    // against it, and none is taken here).
    const int beingReplaced = int(std::count_if(m_unownedSince.begin(), m_unownedSince.end(),
                                                [t](const auto& entry) { return t - entry.second <= leakAfterMs; }));
    if (live > int(m_cells.size()) + beingReplaced)
        ++m_overBound;
}

void Soak::sample()
{
    const qint64 t = now();
    const int self = int(getpid());
    Sample s;
    s.minutes = (t - m_startMs) / 60000.0;
    s.rssMb = statusField(self, "VmRSS") / 1024.0;
    s.fds = openFds(self);
    s.threads = int(statusField(self, "Threads"));
    if (m_cycle >= 0)
        m_samples.push_back(s);
    int workers = 0;
    for (const ProcStat& worker : childrenOf(self, {"clipworker", "framepump"}))
        workers += worker.state != 'Z';
    const QString fault = m_faultOn ? QString::fromLatin1(faultKinds()[size_t(m_cycle) % faultKinds().size()].name)
                                    : QStringLiteral("none");
    std::printf("%s  rss %6.1f MB  fds %4d  threads %3d  workers %2d  moving %2d/%zu  stalls %d (longest %lld ms)  "
                "load %.1f  fault: %s\n",
                qPrintable(clockText(t)), s.rssMb, s.fds, s.threads, workers,
                int(m_cells.size()) - int(stillCells().size()), m_cells.size(), m_stalls,
                static_cast<long long>(m_longestStall), loadAverage(), qPrintable(fault));
    std::fflush(stdout);
}

void Soak::beginCycle()
{
    closeWindow(now());
    ++m_cycle;
    if (m_cycle >= m_minutes) {
        QCoreApplication::quit();
        return;
    }
    const FaultKind& kind = faultKinds()[size_t(m_cycle) % faultKinds().size()];
    postFaults(kind.switches);
    m_faultOn = true;
    std::printf("%s  cycle %d: fault \"%s\" for %lld s\n", qPrintable(clockText(now())), m_cycle + 1, kind.name,
                static_cast<long long>(holdMs / 1000));
    std::fflush(stdout);
    // One worker dies while the fault holds, so that at least one cell must
    // get its stream back through it.
    QTimer::singleShot(int(std::uniform_int_distribution<qint64>(0, holdMs - 1000)(m_random)), this, &Soak::killOne);
    QTimer::singleShot(int(holdMs), this, &Soak::endFault);
    QTimer::singleShot(int(m_startMs + (m_cycle + 1) * cycleMs - now()), this, &Soak::beginCycle);
}

void Soak::endFault()
{
    postFaults(QJsonObject());
    m_faultOn = false;
    m_windowStart = now();
    m_lastStill = allMoving() ? -1 : m_windowStart;
}

// Closes the recovery window of the last fault: every cell moves from the
// check after the last one that saw a cell standing still.
void Soak::closeWindow(qint64 untilMs)
{
    if (m_windowStart < 0)
        return;
    Recovery recovery;
    recovery.kind = int(size_t(m_cycle) % faultKinds().size());
    if (!allMoving())
        recovery.stuck = stillCells();
    recovery.seconds = m_lastStill < 0 ? 0 : (m_lastStill + checkMs - m_windowStart) / 1000.0;
    m_recoveries.push_back(recovery);
    std::printf("%s  cycle %d: %s\n", qPrintable(clockText(untilMs)), m_cycle + 1,
                recovery.stuck.isEmpty()
                    ? qPrintable(QStringLiteral("every cell moving %1 s after the fault's end").arg(recovery.seconds, 0, 'f', 1))
                    : qPrintable(QStringLiteral("not recovered after %1 s: %2")
                                     .arg((untilMs - m_windowStart) / 1000.0, 0, 'f', 0)
                                     .arg(recovery.stuck.join(QStringLiteral(", ")))));
    std::fflush(stdout);
    m_windowStart = -1;
    m_lastStill = -1;
}

void Soak::killOne()
{
    const std::set<int> owned = ownedWorkers();
    if (owned.empty())
        return;
    auto it = owned.begin();
    std::advance(it, std::uniform_int_distribution<size_t>(0, owned.size() - 1)(m_random));
    QString cell;
    for (const auto& [player, counter] : m_cells)
        for (const QProcess* process : player->findChildren<QProcess*>())
            if (int(process->processId()) == *it)
                cell = player->camera()->name();
    if (::kill(*it, SIGKILL) == 0) {
        ++m_kills;
        std::printf("%s  killed the worker of %s (pid %d)\n", qPrintable(clockText(now())), qPrintable(cell), *it);
        std::fflush(stdout);
    }
}

void Soak::postFaults(const QJsonObject& faults)
{
    QJsonObject body = faults;
    body.insert(QStringLiteral("scope"), QStringLiteral("all"));
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/faults").arg(m_camsim.controlPort())));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply* reply = m_network.post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
    connect(reply, &QNetworkReply::finished, reply, [reply] {
        if (reply->error() != QNetworkReply::NoError)
            std::fprintf(stderr, "camsim's control port: %s\n", qPrintable(reply->errorString()));
        reply->deleteLater();
    });
}

int Soak::finish()
{
    m_heartbeat.stop();
    m_checker.stop();
    m_sampler.stop();
    sample();
    const qint64 runMs = now() - m_startMs;
    const double busy = machineBusySeconds() - m_busyAtStart;
    const QStringList neverBack = stillCells();
    const int minutes = m_cycle;

    // The grid goes, and every worker with it.
    m_cells.clear();
    m_window.reset();
    QElapsedTimer wait;
    wait.start();
    std::vector<ProcStat> left;
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        left = childrenOf(int(getpid()), {"clipworker", "framepump"});
    } while (!left.empty() && wait.elapsed() < 5000);

    // Memory after the warm-up; a short run fits its second half and says so.
    const double warmup = std::min(warmupMinutes, (runMs / 60000.0) / 2);
    std::vector<std::pair<double, double>> memory;
    for (const Sample& s : m_samples)
        if (s.minutes >= warmup)
            memory.emplace_back(s.minutes / 60.0, s.rssMb);
    const double mbPerHour = slope(memory);
    auto first = m_samples.empty() ? Sample() : m_samples.front();
    auto last = m_samples.empty() ? Sample() : m_samples.back();
    int maxFds = 0, maxThreads = 0;
    double maxRss = 0;
    for (const Sample& s : m_samples) {
        maxFds = std::max(maxFds, s.fds);
        maxThreads = std::max(maxThreads, s.threads);
        maxRss = std::max(maxRss, s.rssMb);
    }
    // The same rule for fds and threads: no more after the warm-up than the
    // most seen before it, give or take a worker being replaced.
    int fdsBefore = 0, threadsBefore = 0, fdsAfter = 0, threadsAfter = 0;
    for (const Sample& s : m_samples) {
        int& fds = s.minutes < warmup ? fdsBefore : fdsAfter;
        int& threads = s.minutes < warmup ? threadsBefore : threadsAfter;
        fds = std::max(fds, s.fds);
        threads = std::max(threads, s.threads);
    }

    std::vector<double> all;
    std::printf("\nSoak of %d minutes (%d fault cycles of %lld s with the fault held %lld s, %d workers killed), "
                "16 cameras in 4x4, machine busy %.0f%% of its %ld cores on average\n\n",
                qRound(runMs / 60000.0), minutes, static_cast<long long>(cycleMs / 1000),
                static_cast<long long>(holdMs / 1000), m_kills, 100 * busy / (runMs / 1000.0) / sysconf(_SC_NPROCESSORS_ONLN),
                sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-30s %6s %10s %10s  %s\n", "fault", "cycles", "max s", "median s", "cells not back by the next fault");
    for (size_t kind = 0; kind < faultKinds().size(); ++kind) {
        std::vector<double> times;
        QStringList stuck;
        for (const Recovery& r : m_recoveries) {
            if (r.kind != int(kind))
                continue;
            times.push_back(r.seconds);
            all.push_back(r.seconds);
            stuck << r.stuck;
        }
        if (times.empty())
            continue;
        stuck.removeDuplicates();
        std::printf("%-30s %6zu %10.1f %10.1f  %s\n", faultKinds()[kind].name, times.size(),
                    *std::max_element(times.begin(), times.end()), median(times),
                    stuck.isEmpty() ? "none" : qPrintable(stuck.join(QStringLiteral(", "))));
    }
    const double maxRecovery = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    const bool allBack = std::none_of(m_recoveries.begin(), m_recoveries.end(), [](const Recovery& r) {
        return !r.stuck.isEmpty();
    });

    auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
    std::printf("\n%-44s %-40s %s\n", "figure", "value", "target");
    std::printf("%-44s %-40s %s\n", "client memory (VmRSS), first / last / max",
                qPrintable(QStringLiteral("%1 / %2 / %3 MB").arg(first.rssMb, 0, 'f', 1).arg(last.rssMb, 0, 'f', 1)
                               .arg(maxRss, 0, 'f', 1)), "");
    std::printf("%-44s %-40s %s\n",
                qPrintable(QStringLiteral("memory slope after minute %1 (%2 samples)").arg(warmup, 0, 'f', 1)
                               .arg(memory.size())),
                qPrintable(QStringLiteral("%1 MB/h").arg(mbPerHour, 0, 'f', 2)),
                qPrintable(QStringLiteral("< 5 MB/h: %1%2").arg(QString::fromLatin1(verdict(mbPerHour < 5)))
                               .arg(warmup < warmupMinutes ? QStringLiteral(" (short run: its second half)")
                                                           : QString())));
    std::printf("%-44s %-40s %s\n", "workers: max live / max no cell's / zombies",
                qPrintable(QStringLiteral("%1 / %2 / %3").arg(m_maxWorkers).arg(m_maxUnowned).arg(m_maxZombies)),
                qPrintable(QStringLiteral("bounded: %1").arg(QString::fromLatin1(verdict(m_overBound == 0)))));
    std::printf("%-44s %-40s %s\n", "workers lost or unreaped / left at the end",
                qPrintable(QStringLiteral("%1 / %2 / %3").arg(m_leaked.size()).arg(m_unreaped.size()).arg(left.size())),
                verdict(m_leaked.empty() && m_unreaped.empty() && left.empty()));
    std::printf("%-44s %-40s %s\n", "client fds, first / last / max",
                qPrintable(QStringLiteral("%1 / %2 / %3").arg(first.fds).arg(last.fds).arg(maxFds)),
                qPrintable(QStringLiteral("no growth: %1").arg(QString::fromLatin1(verdict(fdsAfter <= fdsBefore + 4)))));
    std::printf("%-44s %-40s %s\n", "client threads, first / last / max",
                qPrintable(QStringLiteral("%1 / %2 / %3").arg(first.threads).arg(last.threads).arg(maxThreads)),
                qPrintable(QStringLiteral("no growth: %1")
                               .arg(QString::fromLatin1(verdict(threadsAfter <= threadsBefore + 2)))));
    std::printf("%-44s %-40s %s\n", "GUI stalls over 100 ms, count / longest",
                qPrintable(QStringLiteral("%1 / %2 ms (%3 ms on CPU)").arg(m_stalls).arg(m_longestStall)
                               .arg(m_longestStallCpu)),
                qPrintable(QStringLiteral("none over 200 ms: %1").arg(QString::fromLatin1(verdict(m_longestStall <= 200)))));
    std::printf("%-44s %-40s %s\n", "most GUI-thread CPU within one stall",
                qPrintable(QStringLiteral("%1 ms").arg(m_mostStallCpu)), "");
    std::printf("%-44s %-40s %s\n", "GUI stalls of the start-up, count / longest",
                qPrintable(QStringLiteral("%1 / %2 ms").arg(m_startupStalls).arg(m_longestStartupStall)), "");
    std::printf("%-44s %-40s %s\n", "recovery after a fault's end, max / median",
                qPrintable(QStringLiteral("%1 / %2 s").arg(maxRecovery, 0, 'f', 1).arg(median(all), 0, 'f', 1)),
                qPrintable(QStringLiteral("within 15 s: %1").arg(QString::fromLatin1(verdict(maxRecovery <= 15 && allBack)))));
    std::printf("%-44s %-40s %s\n", "cells never back (not moving at the end)",
                neverBack.isEmpty() ? "none" : qPrintable(neverBack.join(QStringLiteral(", "))),
                verdict(neverBack.isEmpty()));
    std::printf(
        "\nRecovery: from the fault's end to the check after the last one that saw a cell without a new picture in\n"
        "the last %lld ms, within the %lld s before the next fault (a check held up over 1 s with the GUI thread\n"
        "does not judge). Workers are counted every %lld ms among this\n"
        "process's children: live ones, each either a cell's (the process it holds) or no cell's (being replaced,\n"
        "or lost once so for %lld s); bounded = never more live than the cells' own plus the ones being replaced.\n"
        "GUI stalls: gaps over %lld ms between beats of a %lld ms timer on the GUI thread, from the first fault on\n"
        "(the start-up's apart); \"on CPU\": the GUI thread's CPU time within the gap, the rest it waited for a\n"
        "core or in a system call. fds and threads grow when the most seen after the warm-up passes the most seen\n"
        "before it by more than 4 and 2.\n",
        static_cast<long long>(movingMs), static_cast<long long>((cycleMs - holdMs) / 1000),
        static_cast<long long>(checkMs), static_cast<long long>(leakAfterMs / 1000), static_cast<long long>(stallMs),
        static_cast<long long>(heartbeatMs));
    std::fflush(stdout);
    return 0;
}

} // namespace Bench
