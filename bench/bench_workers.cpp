// Both workers on the same 20 seconds of video at 640x480 and 1280x720, 25 fps,
// beside ffmpeg decoding the same input to nowhere. Prints CPU seconds per second
// of video, frames delivered per second, the time to the first "frame" line and the
// ratio of CPU to ffmpeg's.
#include "codecdll.h"
#include "loopbackhttpserver.h"
#include "wireframe.h"
#include "workerrun.h"
#include "player/framefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <memory>

#include <sys/resource.h>

using OrvantaClient::GUI::Player::FrameFile;

namespace {

constexpr int seconds = 20;
constexpr int fps = 25;
constexpr int frameCount = seconds * fps;

// CPU time of every child reaped so far; the difference around one run is that
// run's cost, threads included.
double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures
{
    double cpu = 0;
    int frames = 0;
    double firstFrameMs = -1;
    double deliverySeconds = 0;
};

bool runFfmpeg(const QStringList& arguments, Figures& figures)
{
    const double before = childCpuSeconds();
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-v"), QStringLiteral("error"),
                                                       QStringLiteral("-nostdin")} + arguments);
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", ffmpeg.readAllStandardError().constData());
        return false;
    }
    figures.cpu = childCpuSeconds() - before;
    figures.frames = frameCount;
    return true;
}

QString makeClip(const QString& folder, const QString& size)
{
    const QString path = folder + QStringLiteral("/clip-") + size + QStringLiteral(".flv");
    Figures ignored;
    if (!runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                    QStringLiteral("testsrc2=s=%1:r=%2").arg(size).arg(fps), QStringLiteral("-t"),
                    QString::number(seconds), QStringLiteral("-c:v"), QStringLiteral("libx264"),
                    QStringLiteral("-preset"), QStringLiteral("veryfast"), QStringLiteral("-pix_fmt"),
                    QStringLiteral("yuv420p"), QStringLiteral("-y"), path},
                   ignored))
        return QString();
    return path;
}

// One second of the clip as raw I420 pictures, sent round and round to framepump.
QList<QByteArray> rawPictures(const QString& clip, const QString& folder, int width, int height)
{
    const QString path = folder + QStringLiteral("/pictures.yuv");
    Figures ignored;
    runFfmpeg({QStringLiteral("-i"), clip, QStringLiteral("-frames:v"), QString::number(fps), QStringLiteral("-f"),
               QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
               QStringLiteral("-y"), path},
              ignored);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray all = file.readAll();
    const int pictureSize = width * height * 3 / 2;
    QList<QByteArray> pictures;
    for (int offset = 0; offset + pictureSize <= all.size(); offset += pictureSize)
        pictures.append(all.mid(offset, pictureSize));
    return pictures;
}

void collect(WorkerRun& worker, const QElapsedTimer& clock, Figures& figures, const std::function<bool()>& done)
{
    const bool finished = QTest::qWaitFor([&] {
        if (figures.firstFrameMs < 0 && worker.lines().contains(QStringLiteral("frame")))
            figures.firstFrameMs = double(clock.nsecsElapsed()) / 1e6;
        return done();
    }, (seconds + 60) * 1000);
    if (!finished)
        std::fprintf(stderr, "run did not finish; errors: %s\n", qPrintable(worker.errors().right(2000)));
}

Figures runClipworker(const QString& clip)
{
    QFile file(clip);
    file.open(QIODevice::ReadOnly);
    LoopbackHttpServer server(file.readAll());
    FrameFile frames;
    frames.open();
    Figures figures;
    const double before = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    {
        WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {server.url(), frames.name()});
        collect(worker, clock, figures, [&] { return worker.lines().contains(QStringLiteral("state 7")); });
        figures.frames = worker.lines().count(QStringLiteral("frame"));
        figures.deliverySeconds = double(clock.nsecsElapsed()) / 1e9 - figures.firstFrameMs / 1e3;
    }
    figures.cpu = childCpuSeconds() - before;
    QFile::remove(frames.path());
    return figures;
}

// A local server paced at 25 frames a second, as a camera sends them.
Figures runFramepump(const QList<QByteArray>& pictures, int width, int height)
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    FrameFile frames;
    frames.open();
    Figures figures;
    QTcpSocket* socket = nullptr;
    int sent = 0;
    QTimer pacer;
    pacer.setInterval(1000 / fps);
    QObject::connect(&pacer, &QTimer::timeout, [&] {
        if (sent == frameCount)
            return pacer.stop();
        socket->write(VLC::WireFrame::compose(1, width, height, qint64(sent) * 1000 / fps,
                                              pictures.at(sent % pictures.size()), QByteArray(640, '\0')));
        ++sent;
    });
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, [&] {
            if (!socket->readAll().endsWith("\r\n\r\n"))
                return;
            socket->write("HTTP/1.1 200 OK\r\n\r\n");
            socket->write(VLC::WireFrame::composeDescription(CodecDll::VideoCodecI420, CodecDll::AudioCodecPcm16,
                                                             16000, width, height, 0));
            pacer.start();
        });
    });
    const double before = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    {
        WorkerRun worker(QStringLiteral(FRAMEPUMP_BIN), {QStringLiteral("127.0.0.1"),
                                                         QString::number(server.serverPort()),
                                                         QStringLiteral("/flv?id=1&type=su"), frames.name()});
        collect(worker, clock, figures,
                [&] { return worker.lines().count(QStringLiteral("frame")) >= frameCount; });
        figures.frames = worker.lines().count(QStringLiteral("frame"));
        figures.deliverySeconds = double(clock.nsecsElapsed()) / 1e9 - figures.firstFrameMs / 1e3;
    }
    figures.cpu = childCpuSeconds() - before;
    QFile::remove(frames.path());
    return figures;
}

void print(const char* what, const QString& size, const Figures& figures, const Figures* reference)
{
    std::printf("%-34s %-9s %8.3f", what, qPrintable(size), figures.cpu / seconds);
    if (figures.deliverySeconds > 0)
        std::printf(" %8.1f", figures.frames / figures.deliverySeconds);
    else
        std::printf(" %8s", "-");
    if (figures.firstFrameMs >= 0)
        std::printf(" %10.0f", figures.firstFrameMs);
    else
        std::printf(" %10s", "-");
    if (reference && reference->cpu > 0)
        std::printf(" %7.2fx", figures.cpu / reference->cpu);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    std::printf("%-34s %-9s %8s %8s %10s %8s\n", "run", "size", "cpu s/s", "frames/s", "first ms", "vs ffmpeg");
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{1280, 720}}) {
        const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
        const QString clip = makeClip(folder.path(), size);
        if (clip.isEmpty())
            return 1;

        Figures decode;
        if (!runFfmpeg({QStringLiteral("-i"), clip, QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
                       decode))
            return 1;
        print("ffmpeg -i clip.flv -f null -", size, decode, nullptr);
        print("clipworker", size, runClipworker(clip), &decode);

        const QList<QByteArray> pictures = rawPictures(clip, folder.path(), width, height);
        const QString raw = folder.path() + QStringLiteral("/loop.yuv");
        QFile loop(raw);
        loop.open(QIODevice::WriteOnly);
        for (int i = 0; i < frameCount; ++i)
            loop.write(pictures.at(i % pictures.size()));
        loop.close();
        const QStringList rawInput{QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                                   QStringLiteral("yuv420p"), QStringLiteral("-s"), size, QStringLiteral("-framerate"),
                                   QString::number(fps), QStringLiteral("-i"), raw};
        Figures rawDecode, rawToBgra;
        runFfmpeg(rawInput + QStringList{QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")}, rawDecode);
        runFfmpeg(rawInput + QStringList{QStringLiteral("-pix_fmt"), QStringLiteral("bgra"), QStringLiteral("-f"),
                                         QStringLiteral("null"), QStringLiteral("-")},
                  rawToBgra);
        print("ffmpeg raw I420 -f null -", size, rawDecode, nullptr);
        print("ffmpeg raw I420 -pix_fmt bgra", size, rawToBgra, nullptr);
        const Figures pump = runFramepump(pictures, width, height);
        print("framepump (vs raw decode)", size, pump, &rawDecode);
        print("framepump (vs raw to BGRA)", size, pump, &rawToBgra);
        QFile::remove(raw);
    }
    std::printf("cpu s/s: CPU seconds per second of video; frames/s: frames delivered per second after the first;\n"
                "first ms: from start to the first \"frame\" line; ffmpeg lines process the input as fast as they can.\n");
    return 0;
}
