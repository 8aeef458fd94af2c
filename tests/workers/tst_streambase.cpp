#include "workerrun.h"
#include "player/framefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

using OrvantaClient::GUI::Player::FrameFile;

class TestStreamBase : public QObject
{
    Q_OBJECT
private slots:
    void mapsTheWholeFrameFile();
    void refusesAFrameFileThatIsALink();
    void dispatchesCommands_data();
    void dispatchesCommands();
    void keepAliveEndsAWorkerWithoutPings();
};

void TestStreamBase::mapsTheWholeFrameFile()
{
    FrameFile file;
    QVERIFY(file.open());
    WorkerRun probe(QStringLiteral(PROBE_BIN), {file.name()});
    QVERIFY(probe.waitForLine(QStringLiteral("mapped %1").arg(FrameFile::capacity)));
    QFile::remove(file.path());

    WorkerRun missing(QStringLiteral(PROBE_BIN), {QStringLiteral("orvanta_client-player-missing-%1").arg(QCoreApplication::applicationPid())});
    QVERIFY(missing.waitForLine(QStringLiteral("mapped -1")));
    QVERIFY(missing.errors().contains(QLatin1String("Can't open frame file")));
}

void TestStreamBase::refusesAFrameFileThatIsALink()
{
    QTemporaryDir dir;
    QFile target(dir.filePath(QStringLiteral("target")));
    QVERIFY(target.open(QIODevice::WriteOnly));
    QVERIFY(target.resize(4096));
    target.close();
    const QString name = QStringLiteral("orvanta_client-player-link-%1").arg(QCoreApplication::applicationPid());
    const QString link = FrameFile::pathFor(name);
    QFile::remove(link);
    QVERIFY(QFile::link(target.fileName(), link));
    WorkerRun probe(QStringLiteral(PROBE_BIN), {name});
    QVERIFY(probe.waitForLine(QStringLiteral("mapped -1")));
    QFile::remove(link);
}

void TestStreamBase::dispatchesCommands_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("expected");
    QTest::newRow("volume 50") << QByteArray("volume 50") << QStringLiteral("volume 50");
    QTest::newRow("volume word") << QByteArray("volume loud") << QStringLiteral("volume 0");
    QTest::newRow("only the second word counts") << QByteArray("volume 20 70") << QStringLiteral("volume 20");
    QTest::newRow("volume prefix") << QByteArray("volumeX 7") << QStringLiteral("volume 7");
    QTest::newRow("pause") << QByteArray("pause") << QStringLiteral("paused 1");
    QTest::newRow("unpause") << QByteArray("unpause") << QStringLiteral("paused 0");
    QTest::newRow("fit") << QByteArray("fit 640 360") << QStringLiteral("fit 640 360");
    QTest::newRow("fit, no box") << QByteArray("fit 0 0") << QStringLiteral("fit 0 0");
    QTest::newRow("fit, beyond any screen") << QByteArray("fit 99999999999 7") << QStringLiteral("fit 16384 7");
}

void TestStreamBase::dispatchesCommands()
{
    QFETCH(QByteArray, command);
    QFETCH(QString, expected);
    WorkerRun probe(QStringLiteral(PROBE_BIN), {QStringLiteral("none")}, WorkerRun::NoPing);
    QVERIFY(probe.waitForLinePrefix(QStringLiteral("mapped")));
    // Commands that must change nothing go first; the marker after them proves
    // they were read.
    probe.send("volume");
    probe.send("Pause");
    probe.send("volume 9" + QByteArray(5000, '9')); // no command is that long
    probe.send("ping ");
    probe.send("fit 640");
    probe.send("fit -1 20");
    probe.send(command);
    QVERIFY(probe.waitForLine(expected));
    QVERIFY(probe.waitForError(QStringLiteral("Unknown command: ping ")));
    QVERIFY(probe.errors().contains(QLatin1String("Unknown command: Pause\n")));
    QVERIFY(probe.errors().contains(QLatin1String("Drop command: line longer than 4096 bytes\n")));
    QVERIFY(probe.errors().contains(QLatin1String("Bad command: fit 640\n")));
    QVERIFY(probe.errors().contains(QLatin1String("Bad command: fit -1 20\n")));
    QCOMPARE(probe.lines().size(), 2); // "mapped" and the one expected line
}

// One worker is pinged, one is not: the second ends between 11 and 13 seconds
// after its start with the message on both outputs, the first lives on.
void TestStreamBase::keepAliveEndsAWorkerWithoutPings()
{
    QElapsedTimer clock;
    clock.start();
    WorkerRun pinged(QStringLiteral(PROBE_BIN), {QStringLiteral("none")}, WorkerRun::PingEveryTwoSeconds);
    WorkerRun silent(QStringLiteral(PROBE_BIN), {QStringLiteral("none")}, WorkerRun::NoPing);
    QVERIFY(silent.waitForExit(20000));
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 10500 && elapsed <= 14000, QByteArray::number(elapsed).constData());
    QCOMPARE(silent.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(silent.process.exitCode(), 0);
    QVERIFY(silent.lines().contains(QStringLiteral("KeepAlive time exceeded. Quiting now.")));
    QVERIFY(silent.errors().contains(QLatin1String("KeepAlive time exceeded. Quiting now.")));
    // Past two more watchdog rounds the pinged worker is still there.
    QTest::qWait(4000);
    QCOMPARE(pinged.process.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestStreamBase)
#include "tst_streambase.moc"
