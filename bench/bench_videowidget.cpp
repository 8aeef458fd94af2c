// GUI-thread cost of showing frames: a scripted worker leaves a picture in the
// frame file and writes "frame" lines at 25 per second; the widgets read them,
// build their picture and paint it into cells of 640x360 and 320x180. The picture
// is the stream's 1280x720, which the widget scales (the reference, and what a
// worker that cannot fit its pictures gives), or already fitted to the cell, as
// clipworker draws it once the widget has told it the cell's size.
//   bench_videowidget [FRAMES]
#include "core/settings.h"
#include "gui/player/videowidget.h"
#include "model/localserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

using namespace OrvantaClient;

namespace {

double threadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct Result
{
    double msPerFrame;
    double coreShare;
};

void writeScript(const QString& path, const QSize& picture, int frames)
{
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(QStringLiteral("fill 30 140 200 255 %1 %2\nprint size %1 %2\n")
                     .arg(picture.width())
                     .arg(picture.height())
                     .toLatin1());
    for (int i = 0; i < frames + 400; ++i)
        script.write("print frame\nsleep 40\n");
    script.write("wait\n");
}

Result run(int widgets, const QSize& cell, int frames, const std::shared_ptr<API::LocalServer>& server)
{
    QWidget window;
    auto* grid = new QGridLayout(&window);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    const int columns = widgets == 1 ? 1 : 4;
    std::vector<GUI::Player::VideoWidget*> players;
    for (int i = 0; i < widgets; ++i) {
        auto* player = new GUI::Player::VideoWidget(server->item(1), &window);
        player->setWorkerDirectory(FAKE_WORKER_DIR);
        player->setFixedSize(cell);
        grid->addWidget(player, i / columns, i % columns);
        players.push_back(player);
    }
    window.show();
    QApplication::processEvents();
    for (auto* player : players)
        player->playLive();
    // Wait for the first pictures, then measure the steady stream.
    QElapsedTimer clock;
    clock.start();
    auto allHaveFrames = [&] {
        for (auto* player : players)
            if (!player->hasFrame())
                return false;
        return true;
    };
    while (!allHaveFrames() && clock.elapsed() < 30000) {
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
    }
    // A wall of cameras nobody points at: the overlay bars have gone (after 4 s).
    {
        QEventLoop settle;
        QTimer::singleShot(4500, &settle, &QEventLoop::quit);
        settle.exec();
    }
    // The event loop sleeps between frames: only the widgets' work is counted.
    const double cpuStart = threadCpuSeconds();
    clock.restart();
    QEventLoop loop;
    QTimer::singleShot(frames * 40, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = threadCpuSeconds() - cpuStart;
    const double seconds = clock.elapsed() / 1000.0;
    const double shown = 25.0 * seconds * widgets;
    for (auto* player : players)
        player->stop();
    return {cpu * 1000.0 / shown, cpu / seconds};
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int frames = argc > 1 ? qMax(25, atoi(argv[1])) : 250;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    App::Settings::instance().setValue("experimental/framepump", false);
    const QString script = dir.filePath("script");
    qputenv("FAKE_WORKER_SCRIPT", QFile::encodeName(script));
    qputenv("FAKE_WORKER_LOG", QFile::encodeName(dir.filePath("log")));

    auto server = std::make_shared<API::LocalServer>("Bench", "127.0.0.1", 9, "pw");
    server->updateCameras(QJsonArray{QJsonObject{{"id", 1}, {"name", "Bench"}, {"online", true}}});

    std::printf("GUI-thread time per displayed frame of a 1280x720 stream (25 fps per widget, %d frames):\n", frames);
    for (const QSize& cell : {QSize(640, 360), QSize(320, 180)}) {
        for (int widgets : {1, 16}) {
            writeScript(script, QSize(1280, 720), frames);
            const Result scaled = run(widgets, cell, frames, server);
            writeScript(script, cell, frames);
            const Result fitted = run(widgets, cell, frames, server);
            std::printf("  %2d widget(s) in %dx%d cells: picture at 1280x720 %.3f ms per frame (%.1f%% of one core), "
                        "fitted to the cell %.3f ms (%.1f%%), %.2fx\n",
                        widgets, cell.width(), cell.height(), scaled.msPerFrame, 100.0 * scaled.coreShare,
                        fitted.msPerFrame, 100.0 * fitted.coreShare, fitted.msPerFrame / scaled.msPerFrame);
        }
    }
    return 0;
}
