#include "codecdll.h"
#include "wireframe.h"
#include "workerrun.h"
#include "player/framefile.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using OrvantaClient::GUI::Player::FrameFile;
using VLC::WireFrame;

namespace {

// A local server's side of one stream: takes framepump's request and lets the test
// write the answer.
struct Pump
{
    Pump()
    {
        server.listen(QHostAddress::LocalHost);
        file.open();
        run = std::make_unique<WorkerRun>(QStringLiteral(FRAMEPUMP_BIN),
                                          QStringList{QStringLiteral("127.0.0.1"), QString::number(server.serverPort()),
                                                      QStringLiteral("/flv?id=7&type=su"), file.name()});
    }

    ~Pump() { QFile::remove(file.path()); }

    bool accept()
    {
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 30000))
            return false;
        socket.reset(server.nextPendingConnection());
        return QTest::qWaitFor([&] { request += socket->readAll(); return request.endsWith("\r\n\r\n"); }, 30000);
    }

    void send(const QByteArray& bytes)
    {
        socket->write(bytes);
        socket->flush();
    }

    bool acceptWithHeader()
    {
        if (!accept())
            return false;
        send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n");
        return true;
    }

    const uchar* pixels() const { return file.data(); }
    int count(const QString& line) const { return run->lines().count(line); }

    QTcpServer server;
    FrameFile file;
    std::unique_ptr<WorkerRun> run;
    std::unique_ptr<QTcpSocket> socket;
    QByteArray request;
};

int clamp8(double value)
{
    return std::min(255, std::max(0, int(std::lround(value))));
}

// BT.601 limited range in floating point, for comparison with the integer converter.
QByteArray referenceBgra(int y, int u, int v)
{
    const double c = 1.164 * (y - 16), d = u - 128, e = v - 128;
    QByteArray pixel(4, char(255));
    pixel[0] = char(clamp8(c + 2.018 * d));
    pixel[1] = char(clamp8(c - 0.391 * d - 0.813 * e));
    pixel[2] = char(clamp8(c + 1.596 * e));
    return pixel;
}

bool nearlyEqual(const uchar* actual, const QByteArray& expected)
{
    for (int i = 0; i < expected.size(); ++i) {
        if (std::abs(int(actual[i]) - int(uchar(expected.at(i)))) > 1)
            return false;
    }
    return true;
}

// Overwrites a 32-bit field of a composed frame, to break it on purpose.
void patch(QByteArray& frame, int offset, quint32 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    frame.replace(offset, 4, bytes, 4);
}

QByteArray bgra(int width, int height, int seed)
{
    QByteArray pixels(width * height * 4, '\0');
    for (int i = 0; i < pixels.size(); ++i)
        pixels[i] = char((i * 37 + seed) & 0xFF);
    return pixels;
}

} // namespace

class TestFramepump : public QObject
{
    Q_OBJECT
private slots:
    void decodesI420IntoTheFrameFile();
    void copiesBgraAndFollowsNewGeometry();
    void timeLinesEveryThreeHundredUnits();
    void pictureNotYetIsNoError();
    void errorTimerAndPause();
    void malformedFramesNeitherCrashNorHang();
    void headerThatNeverEndsIsCapped();
    void refusesPicturesLargerThanTheFrameFile();
};

void TestFramepump::decodesI420IntoTheFrameFile()
{
    Pump pump;
    QVERIFY(pump.accept());
    QCOMPARE(pump.request, QByteArray("GET /flv?id=7&type=su HTTP/1.1\r\n\r\n"));
    // The header comes in two pieces; nothing of it may be taken for a frame.
    pump.send("HTTP/1.1 200 OK\r\nContent-");
    QTest::qWait(200);
    pump.send("Type: application/octet-stream\r\n\r\n");
    pump.send(WireFrame::compose(1, 4, 2, 10, QByteArray(12, 'x')));
    QVERIFY(pump.run->waitForError(QStringLiteral("Drop frame: need service frame first")));
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecI420, CodecDll::AudioCodecMuLaw, 8000, 4, 2, 0));
    QVERIFY(pump.run->waitForLine(QStringLiteral("size 4 2")));
    pump.send(WireFrame::compose(2, 4, 2, 20, QByteArray(12, 'x')));
    QVERIFY(pump.run->waitForError(QStringLiteral("Drop frame: CMD != 1")));

    // Luma 4x2, then U and V of 2x1: each half of the picture has its own chroma.
    const QByteArray luma = QByteArray::fromHex("10 50 a0 eb 30 70 c0 80");
    const QByteArray i420 = luma + QByteArray::fromHex("5a f0") + QByteArray::fromHex("f0 6e");
    pump.send(WireFrame::compose(1, 4, 2, 40, i420, QByteArray(160, char(0xFF))));
    QVERIFY(pump.run->waitForLine(QStringLiteral("frame")));
    for (int i = 0; i < 8; ++i) {
        const int x = i % 4;
        const QByteArray expected = referenceBgra(uchar(luma.at(i)), x < 2 ? 0x5a : 0xf0, x < 2 ? 0xf0 : 0x6e);
        QVERIFY2(nearlyEqual(pump.pixels() + i * 4, expected), qPrintable(QStringLiteral("pixel %1").arg(i)));
    }
    QCOMPARE(pump.count(QStringLiteral("state 7")), 0);
}

void TestFramepump::copiesBgraAndFollowsNewGeometry()
{
    Pump pump;
    QVERIFY(pump.acceptWithHeader());
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecPcm16, 16000, 2, 2, 0));
    // A second description is ignored: no new size comes of it.
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecPcm16, 16000, 8, 8, 0));
    pump.send(WireFrame::compose(1, 2, 2, 40, bgra(2, 2, 1), QByteArray(320, '\1')));
    QVERIFY(pump.run->waitForLine(QStringLiteral("frame")));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(pump.pixels()), 16), bgra(2, 2, 1));
    QCOMPARE(pump.run->lines().filter(QStringLiteral("size")), QStringList{QStringLiteral("size 2 2")});

    pump.send(WireFrame::compose(1, 3, 1, 80, bgra(3, 1, 9)));
    QVERIFY(QTest::qWaitFor([&] { return pump.count(QStringLiteral("frame")) == 2; }, 30000));
    const QStringList lines = pump.run->lines();
    QVERIFY(lines.indexOf(QStringLiteral("size 3 1")) > lines.indexOf(QStringLiteral("frame")));
    QVERIFY(lines.indexOf(QStringLiteral("size 3 1")) < lines.lastIndexOf(QStringLiteral("frame")));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(pump.pixels()), 12), bgra(3, 1, 9));
    QVERIFY(pump.run->errors().contains(QLatin1String("Image frame has resolution: 2x2, but new one have: 3x1")));
}

void TestFramepump::timeLinesEveryThreeHundredUnits()
{
    Pump pump;
    QVERIFY(pump.acceptWithHeader());
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecALaw, 8000, 1, 1, 1000));
    for (qint64 time : {0, 100, 200, 301, 400, 700})
        pump.send(WireFrame::compose(1, 1, 1, 1000 + time, bgra(1, 1, 0)));
    // Timestamps from the far ends of 64 bits: a jump back by more than half the range
    // is still a step back, and a jump forward still a step.
    constexpr qint64 quarter = qint64(1) << 62;
    for (qint64 time : {std::numeric_limits<qint64>::min(), quarter, -quarter - 1000, quarter + 301})
        pump.send(WireFrame::compose(1, 1, 1, time, bgra(1, 1, 0)));
    QVERIFY(pump.run->waitForLine(QStringLiteral("time %1").arg(quarter + 301 - 1000)));
    QCOMPARE(pump.run->lines().filter(QStringLiteral("time")),
             (QStringList{QStringLiteral("time 301"), QStringLiteral("time 700"),
                          QStringLiteral("time %1").arg(quarter - 1000), QStringLiteral("time %1").arg(quarter + 301 - 1000)}));

    // A position beyond 64 bits is not stated.
    Pump extremes;
    QVERIFY(extremes.acceptWithHeader());
    extremes.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecALaw, 8000, 1, 1,
                                                std::numeric_limits<qint64>::min()));
    extremes.send(WireFrame::compose(1, 1, 1, std::numeric_limits<qint64>::max(), bgra(1, 1, 0)));
    QVERIFY(extremes.run->waitForError(QStringLiteral("Drop time: timestamp 9223372036854775807 is too far from the "
                                                      "stream start -9223372036854775808")));
    QVERIFY(extremes.run->lines().filter(QStringLiteral("time")).isEmpty());
}

void TestFramepump::pictureNotYetIsNoError()
{
    Pump pump;
    QVERIFY(pump.acceptWithHeader());
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecI420, CodecDll::AudioCodecPcm16, 8000, 2, 2, 0));
    pump.send(WireFrame::compose(1, 2, 2, 40, QByteArray(1, '\0')));
    QVERIFY(pump.run->waitForError(QStringLiteral("Can't decode image frame, result: 3")));
    QCOMPARE(pump.count(QStringLiteral("state 7")), 0);
    pump.send(WireFrame::compose(1, 2, 2, 80, QByteArray(5, '\0')));
    QVERIFY(pump.run->waitForLine(QStringLiteral("state 7")));
    QVERIFY(pump.run->errors().contains(QLatin1String("Can't decode image frame, result: 1")));
}

// Run side by side: one stream stops after a frame and must report state 7 after
// 6 seconds; a paused one keeps sending and must stay quiet.
void TestFramepump::errorTimerAndPause()
{
    Pump stalled;
    Pump paused;
    QVERIFY(stalled.acceptWithHeader());
    QVERIFY(paused.acceptWithHeader());
    const QByteArray description
        = WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecPcm16, 8000, 1, 1, 0);
    stalled.send(description);
    paused.send(description);
    stalled.send(WireFrame::compose(1, 1, 1, 40, bgra(1, 1, 0)));
    QVERIFY(stalled.run->waitForLine(QStringLiteral("frame")));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(paused.run->waitForLine(QStringLiteral("size 1 1")));
    paused.run->send("pause");
    QTimer feeder;
    qint64 time = 40;
    connect(&feeder, &QTimer::timeout, &feeder, [&] { paused.send(WireFrame::compose(1, 1, 1, time += 40, bgra(1, 1, 0))); });
    feeder.start(500);
    QVERIFY(stalled.run->waitForLine(QStringLiteral("state 7"), 20000));
    QVERIFY(clock.elapsed() >= 5500);
    // Give the paused stream's timer the same span and more.
    QTest::qWait(qMax<qint64>(0, 8000 - clock.elapsed()));
    QCOMPARE(paused.count(QStringLiteral("state 7")), 0);
    QCOMPARE(paused.count(QStringLiteral("frame")), 0);
}

void TestFramepump::malformedFramesNeitherCrashNorHang()
{
    Pump pump;
    QVERIFY(pump.acceptWithHeader());
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecPcm16, 8000, 1, 1, 0));
    QVERIFY(pump.run->waitForLine(QStringLiteral("size 1 1")));
    // A video length past the end of its frame: the frame is dropped, the stream goes on.
    QByteArray overrun = WireFrame::compose(1, 1, 1, 40, bgra(1, 1, 0));
    patch(overrun, 32, 0x7FFFFFF0u);
    pump.send(overrun);
    QVERIFY(pump.run->waitForError(QStringLiteral("Drop frame: payload lengths exceed the frame")));
    QByteArray audioOverrun = WireFrame::compose(1, 1, 1, 40, bgra(1, 1, 0));
    patch(audioOverrun, 36 + 4, 0xFFFFFFFFu);
    pump.send(audioOverrun);
    pump.send(WireFrame::compose(1, 1, 1, 80, bgra(1, 1, 5)));
    QVERIFY(pump.run->waitForLine(QStringLiteral("frame")));
    QCOMPARE(pump.run->errors().count(QLatin1String("Drop frame: payload lengths exceed the frame")), 2);

    // A length shorter than the fixed fields: the stream cannot be followed any more.
    QByteArray shortFrame = WireFrame::compose(1, 1, 1, 120, QByteArray());
    patch(shortFrame, 4, 10);
    pump.send(shortFrame);
    QVERIFY(pump.run->waitForError(QStringLiteral("Drop connection: bad frame length: 10")));
    QVERIFY(pump.run->waitForLine(QStringLiteral("state 7")));
    QVERIFY(QTest::qWaitFor([&] { return pump.socket->state() == QAbstractSocket::UnconnectedState; }, 30000));
    QCOMPARE(pump.run->process.state(), QProcess::Running);

    Pump huge;
    QVERIFY(huge.acceptWithHeader());
    QByteArray hugeFrame = WireFrame::compose(1, 1, 1, 0, QByteArray());
    patch(hugeFrame, 4, 0xFFFFFFFFu);
    huge.send(hugeFrame);
    QVERIFY(huge.run->waitForError(QStringLiteral("Drop connection: bad frame length: 4294967295")));
    QCOMPARE(huge.run->process.state(), QProcess::Running);
}

void TestFramepump::headerThatNeverEndsIsCapped()
{
    // Just under the cap, in many lines: still a header.
    Pump large;
    QVERIFY(large.accept());
    const QByteArray field = "X-Filler: " + QByteArray(90, 'f') + "\r\n";
    large.send("HTTP/1.1 200 OK\r\n" + field.repeated(600) + "\r\n");
    large.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecPcm16, 8000, 1, 1, 0));
    QVERIFY(large.run->waitForLine(QStringLiteral("size 1 1")));

    Pump endlessLine;
    Pump endlessLines;
    QVERIFY(endlessLine.accept());
    QVERIFY(endlessLines.accept());
    endlessLine.send("HTTP/1.1 200 OK\r\nX-Filler: ");
    for (int i = 0; i < 100; ++i) {
        endlessLine.send(QByteArray(1024, 'f'));
        endlessLines.send(field.repeated(10));
    }
    for (Pump* pump : {&endlessLine, &endlessLines}) {
        QVERIFY(pump->run->waitForError(QStringLiteral("Drop connection: HTTP header longer than 65536 bytes")));
        QVERIFY(pump->run->waitForLine(QStringLiteral("state 7")));
        QVERIFY(QTest::qWaitFor([&] { return pump->socket->state() == QAbstractSocket::UnconnectedState; }, 30000));
        QCOMPARE(pump->run->process.state(), QProcess::Running);
    }
}

void TestFramepump::refusesPicturesLargerThanTheFrameFile()
{
    Pump pump;
    QVERIFY(pump.acceptWithHeader());
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecPcm16, 8000, 4096, 4096, 0));
    QVERIFY(pump.run->waitForLine(QStringLiteral("state 7")));
    QVERIFY(pump.run->errors().contains(QLatin1String("Picture of 4096x4096 does not fit the frame file")));
    // Sides whose product with 4 no longer fits 64 bits; the description may come again
    // since none has been accepted.
    pump.send(WireFrame::composeDescription(CodecDll::VideoCodecBgra, CodecDll::AudioCodecPcm16, 8000, 2147483647,
                                            2147483647, 0));
    QVERIFY(pump.run->waitForError(QStringLiteral("Picture of 2147483647x2147483647 does not fit the frame file")));

    Pump growing;
    QVERIFY(growing.acceptWithHeader());
    growing.send(WireFrame::composeDescription(CodecDll::VideoCodecI420, CodecDll::AudioCodecPcm16, 8000, 2, 2, 0));
    QVERIFY(growing.run->waitForLine(QStringLiteral("size 2 2")));
    growing.send(WireFrame::compose(1, 2048, 1537, 40, QByteArray(1, '\0')));
    QVERIFY(growing.run->waitForError(QStringLiteral("Can't reset video module")));
    QVERIFY(growing.run->waitForLine(QStringLiteral("state 7")));
    growing.send(WireFrame::compose(1, 2147483647, 2147483647, 80, QByteArray(1, '\0')));
    QVERIFY(growing.run->waitForError(QStringLiteral("Picture of 2147483647x2147483647 does not fit the frame file")));
    QCOMPARE(growing.run->process.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestFramepump)
#include "tst_framepump.moc"
