// How long a zoomed cell takes to show the camera's full stream: a 2x2 grid of
// camsim cameras (cheap mode: 640x480, light qualities 320x240 and 480x360) on
// automatic quality; one cell is zoomed 3x around its centre and timed until it
// plays the full stream and paints a picture of it, then shown whole again and
// timed until it is back on its light stream.
//   bench_zoom [ROUNDS]      default 5
// Environment: BENCH_WINDOW=WxH (1600x900).
#include "camsimwall.h"
#include "clientbench.h"
#include "paintcounter.h"
#include "gui/grid/layoutwidget.h"
#include "gui/player/videowidget.h"
#include "model/layout.h"
#include "model/localserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace OrvantaClient;
using GUI::Player::VideoWidget;

namespace {

// Runs the event loop until the condition holds (checked every 10 ms) or the
// limit passes; the time it took in ms, or -1.
qint64 timeUntil(const std::function<bool()>& condition, qint64 limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs)
            return -1;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return clock.elapsed();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char* argv[])
{
    Bench::ClientBench bench(argc, argv);
    const int rounds = argc > 1 ? std::clamp(atoi(argv[1]), 1, 50) : 5;
    Bench::CamsimWall camsim(4);
    if (!camsim.start(QStringLiteral(CAMSIM_BIN)))
        return 1;
    auto layout = std::make_shared<API::Layout>();
    layout->resize(2, 2);
    for (int i = 1; i <= 4; ++i)
        layout->addCamera(camsim.server()->item(i));

    QWidget window;
    auto* box = new QVBoxLayout(&window);
    box->setContentsMargins(0, 0, 0, 0);
    auto* grid = new GUI::LayoutWidget(&window);
    box->addWidget(grid);
    window.resize(Bench::ClientBench::windowSize());
    window.show();
    grid->setLayout(layout);
    VideoWidget* cell = grid->players().value(0);
    if (!cell) {
        std::fprintf(stderr, "No cell\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    Bench::PaintCounter painted(cell, clock);
    if (timeUntil([&] { return cell->hasFrame() && cell->sourceSize().isValid(); }, 60000) < 0) {
        std::fprintf(stderr, "The cell showed no picture\n");
        return 1;
    }
    const int light = cell->quality();
    const QSize lightSize = cell->sourceSize();
    std::printf("bench_zoom: 2x2 grid in %dx%d, cell %dx%d on quality %d (%dx%d), %d rounds\n", window.width(),
                window.height(), cell->width(), cell->height(), light, lightSize.width(), lightSize.height(), rounds);

    std::vector<double> in, out;
    for (int round = 0; round < rounds; ++round) {
        for (bool zoom : {true, false}) {
            const qint64 shownBefore = painted.shown;
            if (zoom)
                cell->zoomAt(3.0, QPointF(0.5, 0.5));
            else
                cell->resetZoom();
            const int wanted = zoom ? 2 : light;
            const qint64 ms = timeUntil([&] {
                return cell->quality() == wanted && cell->hasFrame() && painted.shown > shownBefore
                    && cell->sourceSize() != QSize() && (zoom ? cell->sourceSize() != lightSize : cell->sourceSize() == lightSize);
            }, 30000);
            std::printf("  round %d, %s: %lld ms to a picture of the %s stream (%dx%d)\n", round + 1,
                        zoom ? "zoom 3x" : "whole picture", ms, zoom ? "full" : "light", cell->sourceSize().width(),
                        cell->sourceSize().height());
            (zoom ? in : out).push_back(double(ms));
            // The stream settles before the next change.
            timeUntil([] { return false; }, 2000);
        }
    }
    std::printf("median: zoom in %.0f ms, whole picture %.0f ms; both include the 500 ms the grid waits for the "
                "wheel to rest\n",
                median(in), median(out));
    return 0;
}
