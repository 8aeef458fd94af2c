#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace OrvantaClient::GUI {
class LayoutWidget;
namespace Player {
class VideoWidget;
}
} // namespace OrvantaClient::GUI

namespace Bench {

class CamsimWall;
class PaintCounter;

// One soak run: the window with the grid of the wall's cameras, camsim's
// faults cycling every minute, a worker killed in each fault, and the
// samples, stalls and recoveries that finish() prints beside their targets.
class Soak : public QObject
{
public:
    struct Sample
    {
        double minutes = 0;
        double rssMb = 0;
        int fds = 0;
        int threads = 0;
    };

    struct Recovery
    {
        int kind = 0;
        double seconds = 0;  // from the fault's end to every cell moving for good
        QStringList stuck;   // cells still not moving when the next fault began
    };

    Soak(CamsimWall& camsim, int minutes, unsigned seed) : m_camsim(camsim), m_minutes(minutes), m_random(seed) {}

    void start(const QSize& windowSize);
    int finish();

private:
    void heartbeat();
    void check();
    void sample();
    void beginCycle();
    void endFault();
    void closeWindow(qint64 untilMs);
    void killOne();
    void postFaults(const QJsonObject& faults);
    bool allMoving() const;
    QStringList stillCells() const;
    std::set<int> ownedWorkers() const;
    qint64 now() const { return m_clock.elapsed(); }

    CamsimWall& m_camsim;
    const int m_minutes;
    std::mt19937 m_random;
    QElapsedTimer m_clock;
    std::unique_ptr<QWidget> m_window;
    OrvantaClient::GUI::LayoutWidget* m_grid = nullptr;
    std::vector<std::pair<OrvantaClient::GUI::Player::VideoWidget*, PaintCounter*>> m_cells;
    QNetworkAccessManager m_network;
    QTimer m_heartbeat, m_checker, m_sampler;

    // GUI thread: stalls of the start-up (16 workers starting) apart from
    // those under the faults; the CPU the thread used within a stall tells
    // the client's own work from a machine too busy to run it.
    qint64 m_lastBeat = -1;
    qint64 m_lastBeatCpu = 0;
    int m_stalls = 0;
    qint64 m_longestStall = 0;
    qint64 m_longestStallCpu = 0;
    qint64 m_mostStallCpu = 0;
    int m_startupStalls = 0;
    qint64 m_longestStartupStall = 0;

    // workers
    int m_maxWorkers = 0;
    int m_maxUnowned = 0;
    int m_maxZombies = 0;
    int m_overBound = 0; // checks with more workers than cells plus the ones being replaced
    std::map<int, qint64> m_unownedSince; // pid -> first seen no cell's
    std::set<int> m_leaked;
    std::map<int, qint64> m_zombieSince;
    std::set<int> m_unreaped;
    int m_kills = 0;

    // faults
    qint64 m_startMs = 0; // the first cycle's start
    int m_cycle = -1;
    bool m_faultOn = false;
    qint64 m_windowStart = -1; // the running recovery window: fault's end
    qint64 m_lastStill = -1;   // the last check in it that saw a cell standing still
    qint64 m_lastCheck = -1;
    std::vector<Recovery> m_recoveries;

    std::vector<Sample> m_samples;
    double m_busyAtStart = 0;
};

} // namespace Bench
