// A tour in the main window over camsim cameras: three stored layouts of four
// cameras (2x2) shown in turn, 8 s each, in one window (1600x900 unless
// BENCH_WINDOW says otherwise). For each switch it prints how many cells of the
// layout shown have a picture at the switch and half a second later, when the
// last cell had its first picture, and the cells' stream qualities at the
// switch (and after, when they were chosen again once shown); first with the
// next layout started 3 s before its switch, then, for reference in the same
// run, without.
//   bench_tour [SWITCHES]        default: 6 per run
#include "camsimwall.h"
#include "clientbench.h"

#include "gui/grid/layoutwidget.h"
#include "gui/mainwindow/mainwindow.h"
#include "gui/player/videowidget.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "model/tour.h"
#include "stores/layouts.h"
#include "stores/tours.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace OrvantaClient;
using GUI::Player::VideoWidget;

namespace {

constexpr int layoutsCount = 3;
constexpr int camerasPerLayout = 4;
constexpr int dwellSeconds = 8;

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs, int stepMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        waitMs(stepMs);
    }
    return true;
}

int withPicture(const QList<VideoWidget*>& players)
{
    return int(std::count_if(players.begin(), players.end(), [](const VideoWidget* p) { return p->hasFrame(); }));
}

struct Totals
{
    int cells = 0;
    int atSwitch = 0;
    int atHalfSecond = 0;
};

Totals runTour(GUI::MainWindow& window, const QString& tourId, int preloadMs, int switches)
{
    Totals totals;
    std::printf("\n%s\n", preloadMs > 0 ? qPrintable(QStringLiteral("With the next layout started %1 s ahead").arg(preloadMs / 1000))
                                        : "Without preloading (reference)");
    std::printf("%-7s %-9s %6s %10s %10s %17s %10s\n", "switch", "layout", "cells", "at switch", "at +0.5 s",
                "all cells by (ms)", "qualities");
    window.setTourTimings(preloadMs, 600000);
    window.startTour(tourId);
    API::LayoutPtr last = window.currentLayout();
    for (int done = 0; done < switches; ++done) {
        if (!waitUntil([&] { return window.currentLayout() != last; }, dwellSeconds * 2000, 2)) {
            std::printf("no switch came\n");
            break;
        }
        QElapsedTimer clock;
        clock.start();
        last = window.currentLayout();
        const QList<VideoWidget*> players = window.layoutWidget()->players();
        const int atSwitch = withPicture(players);
        QStringList qualities;
        for (const VideoWidget* player : players)
            qualities << QString::number(player->quality());
        // From the switch: the cells with a picture half a second later, and
        // when the last cell had its first one.
        int atHalfSecond = -1;
        qint64 allBy = atSwitch == players.size() ? 0 : -1;
        while (clock.elapsed() < 5000 && (allBy < 0 || atHalfSecond < 0)) {
            waitMs(5);
            if (allBy < 0 && withPicture(players) == players.size())
                allBy = clock.elapsed();
            if (atHalfSecond < 0 && clock.elapsed() >= 500)
                atHalfSecond = withPicture(players);
        }
        // A cell whose quality was decided again once shown would have restarted its worker.
        waitUntil([&] { return clock.elapsed() >= 1500; }, 2000, 10);
        QStringList settled;
        for (const VideoWidget* player : players)
            settled << QString::number(player->quality());
        const QString quality = qualities == settled ? qualities.join(QString()) : qualities.join(QString()) + "->" + settled.join(QString());
        std::printf("%-7d %-9s %6d %10d %10d %17s %10s\n", done + 1, qPrintable(last->name()), int(players.size()), atSwitch,
                    atHalfSecond, allBy < 0 ? "over 5000" : qPrintable(QString::number(allBy)), qPrintable(quality));
        std::fflush(stdout);
        totals.cells += players.size();
        totals.atSwitch += atSwitch;
        totals.atHalfSecond += atHalfSecond;
    }
    window.stopTour();
    window.closeLayout();
    waitMs(2000); // the workers of the last layout end
    return totals;
}

} // namespace

int main(int argc, char* argv[])
{
    Bench::ClientBench bench(argc, argv);
    const int switches = argc > 1 ? std::max(1, atoi(argv[1])) : 6;
    Bench::CamsimWall camsim(layoutsCount * camerasPerLayout);
    if (!camsim.start(QStringLiteral(CAMSIM_BIN)))
        return 1;
    const std::shared_ptr<API::LocalServer> server = camsim.server();

    App::Tours::instance()->open(bench.workDir() + QStringLiteral("/tours.bench"));
    API::Tour tour{App::Tours::newId(), QStringLiteral("Bench"), {}, false, dwellSeconds};
    for (int l = 0; l < layoutsCount; ++l) {
        auto layout = std::make_shared<API::Layout>();
        layout->setName(QStringLiteral("view %1").arg(l + 1));
        layout->resize(2, 2);
        for (int c = 1; c <= camerasPerLayout; ++c)
            layout->addCamera(server->item(l * camerasPerLayout + c));
        layout->setExists(true);
        App::Layouts::instance()->add(layout);
        tour.layoutIds << layout->id();
    }
    App::Tours::instance()->put(tour);

    GUI::MainWindow window;
    window.resize(Bench::ClientBench::windowSize());
    window.show();
    waitMs(300);
    std::printf("Tour over %d layouts of %d camsim cameras (2x2, cheap mode, automatic quality), %d s each, "
                "window %dx%d, QPA %s\n",
                layoutsCount, camerasPerLayout, dwellSeconds, window.width(), window.height(),
                qPrintable(QGuiApplication::platformName()));

    const Totals preloaded = runTour(window, tour.id, 3000, switches);
    const Totals reference = runTour(window, tour.id, 0, switches);
    std::printf("\ncells with a picture   at switch   at +0.5 s\n");
    std::printf("preloaded             %4d / %-4d %4d / %d\n", preloaded.atSwitch, preloaded.cells,
                preloaded.atHalfSecond, preloaded.cells);
    std::printf("reference             %4d / %-4d %4d / %d\n", reference.atSwitch, reference.cells,
                reference.atHalfSecond, reference.cells);
    return 0;
}
