#include "loopbackhttpserver.h"
#include "picturescaler.h"
#include "sanitizedbuild.h"
#include "workerrun.h"
#include "player/framefile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>

#include <sys/types.h>

using OrvantaClient::GUI::Player::FrameFile;


namespace {

// The test picture: one solid colour, so that every pixel can be checked.
constexpr int red = 0x30, green = 0x60, blue = 0xA0;

QString solidColour(const QString& size)
{
    return QStringLiteral("color=c=0x%1%2%3:s=%4:r=25")
        .arg(red, 2, 16, QLatin1Char('0'))
        .arg(green, 2, 16, QLatin1Char('0'))
        .arg(blue, 2, 16, QLatin1Char('0'))
        .arg(size);
}

bool runFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} + arguments);
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// H.264 from one of ffmpeg's generated sources, in the container the name implies.
QByteArray makeClip(const QString& folder, const QString& source, int seconds,
                    const QString& name = QStringLiteral("clip.flv"))
{
    const QString path = folder + QLatin1Char('/') + name;
    if (!runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source, QStringLiteral("-t"),
                    QString::number(seconds), QStringLiteral("-c:v"), QStringLiteral("libx264"),
                    QStringLiteral("-preset"), QStringLiteral("ultrafast"), QStringLiteral("-pix_fmt"),
                    QStringLiteral("yuv420p"), path}))
        return QByteArray();
    return readFile(path);
}

// One FLV stream whose picture size changes, as a camera's does when its resolution
// is switched: one-second parts of the given sizes joined without a new header.
QByteArray makeSizeChangingClip(const QString& folder, const QStringList& sizes)
{
    QStringList parts;
    for (const QString& size : sizes) {
        parts.append(folder + QStringLiteral("/part%1.ts").arg(parts.size()));
        if (makeClip(folder, solidColour(size), 1, QFileInfo(parts.last()).fileName()).isEmpty())
            return QByteArray();
    }
    const QString path = folder + QStringLiteral("/changing.flv");
    if (!runFfmpeg({QStringLiteral("-i"), QStringLiteral("concat:") + parts.join(QLatin1Char('|')), QStringLiteral("-c"),
                    QStringLiteral("copy"), path}))
        return QByteArray();
    return readFile(path);
}

QJsonObject probe(const QString& path)
{
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                                             QStringLiteral("json"), QStringLiteral("-show_streams"),
                                             QStringLiteral("-show_format"), path});
    ffprobe.waitForFinished(60000);
    return QJsonDocument::fromJson(ffprobe.readAllStandardOutput()).object();
}

QStringList exportArguments(const QString& source, const QString& destination, int durationMs = 3000)
{
    return {QStringLiteral("export"), source, QStringLiteral("mp4"), QString::number(durationMs), destination};
}

} // namespace

class TestClipworker : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void playsIntoTheFrameFile();
    void pauseBeforeTheFirstPicture();
    void followsSizeChangesWithinTheStream();
    void refusesFrameFilesItCannotDrawInto();
    void fitsThePictureAndAnnouncesOnlyNewOnes();
    void streamsThatCannotBeOpenedEndAtOnce();
    void crashEndsWithExitCodeOne();
    void exportsToExactlyTheGivenPath();
    void exportFailuresAreReported();

private:
    QTemporaryDir media;
    std::unique_ptr<LoopbackHttpServer> server;
};

void TestClipworker::initTestCase()
{
    QVERIFY(media.isValid());
    const QByteArray clip = makeClip(media.path(), solidColour(QStringLiteral("640x480")), 3);
    QVERIFY(!clip.isEmpty());
    server = std::make_unique<LoopbackHttpServer>(clip);
    QVERIFY(server->isListening());
}

void TestClipworker::playsIntoTheFrameFile()
{
    FrameFile file;
    QVERIFY(file.open());
    std::memset(file.data(), 0, 16);
    WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {server->url(), file.name()});
    QVERIFY(worker.waitForLine(QStringLiteral("frame")));
    // The camera's own size, not the padded height libvlc proposes.
    QCOMPARE(worker.lines().filter(QStringLiteral("size")).value(0), QStringLiteral("size 640 480"));
    QVERIFY(worker.indexOf(QStringLiteral("size 640 480")) < worker.indexOf(QStringLiteral("frame")));
    for (const qint64 offset : {qint64(0), qint64(240 * 640 + 320) * 4, qint64(640 * 480 - 1) * 4}) {
        const uchar* pixel = file.data() + offset;
        QVERIFY2(std::abs(pixel[0] - blue) <= 8 && std::abs(pixel[1] - green) <= 8 && std::abs(pixel[2] - red) <= 8,
                 qPrintable(QStringLiteral("pixel at %1: %2 %3 %4").arg(offset).arg(pixel[0]).arg(pixel[1]).arg(pixel[2])));
    }
    worker.send("Pause");
    QVERIFY(worker.waitForError(QStringLiteral("Unknown command: Pause")));
    // The clip ends after 3 seconds: the end is state 7.
    QVERIFY(worker.waitForLine(QStringLiteral("state 7")));
    QVERIFY(worker.lines().contains(QStringLiteral("state 1")));
    QVERIFY(worker.lines().contains(QStringLiteral("state 3")));
    QVERIFY(!worker.lines().filter(QRegularExpression(QStringLiteral("^time [1-9][0-9]*$"))).isEmpty());
    QFile::remove(file.path());
}

void TestClipworker::pauseBeforeTheFirstPicture()
{
    FrameFile file;
    QVERIFY(file.open());
    WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {server->url(), file.name()});
    worker.send("pause");
    QVERIFY(worker.waitForLine(QStringLiteral("state 4")));
    QCOMPARE(worker.lines().count(QStringLiteral("state 7")), 0);
    QFile::remove(file.path());
}

void TestClipworker::followsSizeChangesWithinTheStream()
{
    const QStringList sizes{QStringLiteral("320x240"), QStringLiteral("2048x1536"), QStringLiteral("320x240"),
                            QStringLiteral("2048x1536"), QStringLiteral("320x240")};
    const QByteArray clip = makeSizeChangingClip(media.path(), sizes);
    QVERIFY(!clip.isEmpty());
    // Paced as a live camera is, so that libvlc reads on while it decodes.
    LoopbackHttpServer live(clip, 20, 300);
    FrameFile file;
    QVERIFY(file.open());
    WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {live.url(), file.name()});
    QVERIFY(worker.waitForLine(QStringLiteral("state 7"), 60000));
    // The sizes that frames were delivered in, in order.
    QStringList delivered;
    QString size;
    for (const QString& line : worker.lines()) {
        if (line.startsWith(QLatin1String("size ")))
            size = line.mid(5).replace(QLatin1Char(' '), QLatin1Char('x'));
        else if (line == QLatin1String("frame") && (delivered.isEmpty() || delivered.last() != size))
            delivered.append(size);
    }
    QCOMPARE(delivered, sizes);
    QFile::remove(file.path());
}

void TestClipworker::refusesFrameFilesItCannotDrawInto()
{
    const QString name = QStringLiteral("orvanta_client-player-small-%1").arg(QCoreApplication::applicationPid());
    QFile small(FrameFile::pathFor(name));
    QVERIFY(small.open(QIODevice::ReadWrite | QIODevice::Truncate));
    QVERIFY(small.resize(640 * 480 * 4 - 1));
    small.close();
    WorkerRun tooSmall(QStringLiteral(CLIPWORKER_BIN), {server->url(), name});
    QVERIFY(tooSmall.waitForLine(QStringLiteral("state 7")));
    QVERIFY(tooSmall.errors().contains(QLatin1String("Picture of 640x480 does not fit the frame file")));
    QCOMPARE(tooSmall.lines().count(QStringLiteral("frame")), 0);
    QFile::remove(small.fileName());

    WorkerRun missing(QStringLiteral(CLIPWORKER_BIN), {server->url(), name});
    QVERIFY(missing.waitForLine(QStringLiteral("state 7")));
    QVERIFY(missing.errors().contains(QLatin1String("No frame file to draw into")));
    QCOMPARE(missing.lines().count(QStringLiteral("frame")), 0);
    QCOMPARE(missing.process.state(), QProcess::Running);
}

void TestClipworker::fitsThePictureAndAnnouncesOnlyNewOnes()
{
    QCOMPARE(VLC::PictureScaler::fittedSize(QSize(1280, 720), QSize(640, 360)), QSize(640, 360));
    // The picture covers the box: cropping cells see no upscaled edge.
    QCOMPARE(VLC::PictureScaler::fittedSize(QSize(1280, 720), QSize(400, 300)), QSize(534, 300));
    QCOMPARE(VLC::PictureScaler::fittedSize(QSize(1280, 720), QSize(1, 1)), QSize(2, 1));
    // Never larger than the stream; no box is the stream's own size.
    QCOMPARE(VLC::PictureScaler::fittedSize(QSize(640, 480), QSize(1920, 200)), QSize(640, 480));
    QCOMPARE(VLC::PictureScaler::fittedSize(QSize(640, 480), QSize()), QSize(640, 480));

    // Ten different pictures a second: libvlc shows each again 80 ms later when
    // the next is not due, which is not announced.
    QTemporaryDir folder;
    const QByteArray moving = makeClip(folder.path(), QStringLiteral("testsrc2=s=320x240:r=10"), 4);
    QVERIFY(!moving.isEmpty());
    LoopbackHttpServer tenPerSecond(moving);
    FrameFile file;
    QVERIFY(file.open());
    {
        WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {tenPerSecond.url(), file.name()});
        QVERIFY(worker.waitForLine(QStringLiteral("state 7"), 60000));
        const int frames = worker.lines().count(QStringLiteral("frame"));
        QVERIFY2(frames >= 34 && frames <= 41, qPrintable(QString::number(frames)));
    }

    // Fitted to the viewer's box from the first picture on; paused, nothing is
    // announced, and a new box is drawn from the picture held.
    WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {server->url(), file.name()});
    worker.send("fit 320 200");
    QVERIFY(worker.waitForLine(QStringLiteral("frame")));
    QCOMPARE(worker.lines().filter(QStringLiteral("size")), QStringList{"size 320 240"});
    const uchar* last = file.data() + (320 * 240 - 1) * 4;
    QVERIFY(std::abs(last[0] - blue) <= 8 && std::abs(last[1] - green) <= 8 && std::abs(last[2] - red) <= 8);
    worker.send("pause");
    QVERIFY(worker.waitForLine(QStringLiteral("state 4")));
    worker.send("fit 0 0");
    QVERIFY(worker.waitForLine(QStringLiteral("size 640 480")));
    QTRY_VERIFY(worker.lines().lastIndexOf(QStringLiteral("frame")) > worker.indexOf(QStringLiteral("size 640 480")));
    const int announced = worker.lines().count(QStringLiteral("frame"));
    QTest::qWait(1500); // proving that nothing comes takes a while
    QCOMPARE(worker.lines().count(QStringLiteral("frame")), announced);
    QFile::remove(file.path());
}

void TestClipworker::streamsThatCannotBeOpenedEndAtOnce()
{
    // A port nobody listens on ends the player with state 7 at once, long
    // before a cell would give up on its silence.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    WorkerRun worker(QStringLiteral(CLIPWORKER_BIN),
                     {QStringLiteral("http://127.0.0.1:%1/live.flv").arg(port), QStringLiteral("none")});
    QVERIFY(worker.waitForLine(QStringLiteral("state 7"), 8000));
    QCOMPARE(worker.lines().count(QStringLiteral("frame")), 0);
    QCOMPARE(worker.process.state(), QProcess::Running); // the cell ends it
}

void TestClipworker::crashEndsWithExitCodeOne()
{
    for (const int signal : {SIGSEGV, SIGABRT}) {
        WorkerRun worker(QStringLiteral(CLIPWORKER_BIN), {server->url(), QStringLiteral("none")});
        QVERIFY(worker.waitForLine(QStringLiteral("state 1")));
        ::kill(pid_t(worker.process.processId()), signal);
        QVERIFY(worker.waitForExit());
        QCOMPARE(worker.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(worker.process.exitCode(), 1);
#ifdef WD_ADDRESS_SANITIZER
        // The crash must also say where it happened.
        if (signal == SIGSEGV)
            QVERIFY2(worker.errors().contains(QLatin1String("ERROR: AddressSanitizer: SEGV")),
                     qPrintable(worker.errors()));
#endif
    }
}

void TestClipworker::exportsToExactlyTheGivenPath()
{
    QTemporaryDir target;
    // Camera names reach the file name: none of these may break out of it.
    const QString destination = target.filePath(QStringLiteral("Gate, east {1}'s \"view\" \\ 2.mp4"));
    // A longer clip from a slow source, as the archive is, so that progress is
    // reported on the way.
    // A solid colour is so small that it arrives whole at once: take a moving picture.
    LoopbackHttpServer slow(makeClip(media.path(), QStringLiteral("testsrc2=s=320x240:r=25"), 10), 20, 100);
    // The source as watchdesk gives it: out of sight, in the environment.
    qputenv("WATCHDESK_STREAM", slow.url().toUtf8());
    WorkerRun exporter(QStringLiteral(CLIPWORKER_BIN), exportArguments(QStringLiteral("-"), destination, 10000),
                       WorkerRun::NoPing);
    qunsetenv("WATCHDESK_STREAM");
    QVERIFY(exporter.waitForExit(60000));
    QCOMPARE(exporter.process.exitCode(), 0);
    const QStringList lines = exporter.lines();
    QCOMPARE(lines.value(0), QStringLiteral("export-start"));
    QCOMPARE(lines.last(), QStringLiteral("export-done"));
    const QStringList progress = lines.filter(QStringLiteral("export-percent"));
    QVERIFY(!progress.isEmpty());
    for (const QString& line : progress)
        QVERIFY2(line.section(QLatin1Char(' '), 1).toInt() < 100, qPrintable(line));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{QFileInfo(destination).fileName()});
    // Complete on "export-done": the container can be read and holds the whole clip.
    const QJsonObject info = probe(destination);
    QCOMPARE(info.value(QLatin1String("streams")).toArray().at(0).toObject().value(QLatin1String("codec_name")).toString(),
             QStringLiteral("h264"));
    QVERIFY(info.value(QLatin1String("format")).toObject().value(QLatin1String("duration")).toString().toDouble() > 9.5);
}

void TestClipworker::exportFailuresAreReported()
{
    QTemporaryDir target;
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    WorkerRun unreachable(QStringLiteral(CLIPWORKER_BIN),
                          exportArguments(QStringLiteral("http://127.0.0.1:%1/gone.flv").arg(port),
                                          target.filePath(QStringLiteral("a.mp4"))),
                          WorkerRun::NoPing);
    WorkerRun noFolder(QStringLiteral(CLIPWORKER_BIN),
                       exportArguments(server->url(), target.filePath(QStringLiteral("missing/b.mp4"))),
                       WorkerRun::NoPing);
    for (WorkerRun* run : {&unreachable, &noFolder}) {
        QVERIFY(run->waitForExit(60000));
        QCOMPARE(run->process.exitCode(), 0);
        QCOMPARE(run->lines().value(run->lines().size() - 1), QStringLiteral("export-error"));
        QVERIFY(!run->lines().contains(QStringLiteral("export-done")));
    }
}

QTEST_GUILESS_MAIN(TestClipworker)
#include "tst_clipworker.moc"
