// The whole client for a long time under faults: camsim in cheap mode serves a
// local server of 16 cameras, one 1600x900 window shows them in a 4x4 grid with
// the real workers, and every minute camsim misbehaves in one way for a part of
// the minute (cut streams, stalled answers, refused connections, HTTP 500,
// garbage, slow answers) while one worker is killed with SIGKILL at a random
// moment of that stretch. Every 10 s a line tells the client's memory, file
// descriptors, threads, worker processes and moving cells; at the end the
// figures stand beside their targets.
//   bench_soak [MINUTES]      default: 60
// Environment: BENCH_WINDOW=WxH (1600x900), BENCH_FRAMEPUMP=1 for framepump on
// the cameras, BENCH_LOG=FILE keeps the client's log, BENCH_SEED=N repeats a run.
#include "camsimwall.h"
#include "clientbench.h"
#include "soak.h"

#include <QGuiApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <random>

#include <unistd.h>

using namespace Bench;

int main(int argc, char* argv[])
{
    ClientBench bench(argc, argv);
    const int minutes = argc > 1 ? std::clamp(atoi(argv[1]), 1, 24 * 60) : 60;
    const QSize windowSize = ClientBench::windowSize();
    const unsigned seed = qEnvironmentVariableIsSet("BENCH_SEED") ? unsigned(qEnvironmentVariableIntValue("BENCH_SEED"))
                                                                  : unsigned(std::random_device()());

    CamsimWall camsim;
    if (!camsim.start(QStringLiteral(CAMSIM_BIN)))
        return 1;
    std::printf("Soak: %d minutes, camsim cheap mode (640x480 at 25 fps), 16 cameras in 4x4, window %dx%d, %s, "
                "seed %u, QPA %s, %ld cores\n",
                minutes, windowSize.width(), windowSize.height(),
                bench.framepump() ? "framepump" : "clipworker", seed,
                qPrintable(QGuiApplication::platformName()), sysconf(_SC_NPROCESSORS_ONLN));
    std::fflush(stdout);
    Soak soak(camsim, minutes, seed);
    soak.start(windowSize);
    // Stopped early, the run still ends its workers and camsim and prints what it has.
    std::signal(SIGINT, [](int) { QCoreApplication::quit(); });
    std::signal(SIGTERM, [](int) { QCoreApplication::quit(); });
    QCoreApplication::exec();
    const int status = soak.finish();
    camsim.stop();
    return status;
}
