#include "player/statusreader.h"

#include <QtTest>

using namespace OrvantaClient::GUI::Player;

namespace {
constexpr qint64 capacity = 12582912;
}

class TestStatusReader : public QObject
{
    Q_OBJECT
private slots:
    void readsEveryKind();
    void keepsAnUnfinishedLineForTheNextRead();
    void rejectsBadInput_data();
    void rejectsBadInput();
    void ignoresWhatIsNotForIt();
};

void TestStatusReader::readsEveryKind()
{
    StatusReader reader(capacity);
    const StatusBatch batch = reader.read("state 3\nsize 1280 720\nframe\nframe\ntime 4200\nframe\nframe\nframe\n"
                                          "absolute-time 1700000000999\nstate 7\n");
    QCOMPARE(batch.frames, 5);
    QCOMPARE(batch.events.size(), 5);
    QCOMPARE(batch.events[0].kind, StatusEvent::State);
    QCOMPARE(batch.events[0].state, QStringLiteral("3"));
    QVERIFY(!batch.events[0].isError());
    QCOMPARE(batch.events[1].kind, StatusEvent::Size);
    QCOMPARE(batch.events[1].width, 1280);
    QCOMPARE(batch.events[1].height, 720);
    QCOMPARE(batch.events[2].kind, StatusEvent::Time);
    QCOMPARE(batch.events[2].time, qint64(4200));
    QCOMPARE(batch.events[3].kind, StatusEvent::AbsoluteTime);
    QCOMPARE(batch.events[3].dateTime, QDateTime::fromSecsSinceEpoch(1700000000));
    QVERIFY(batch.events[4].isError());
}

void TestStatusReader::keepsAnUnfinishedLineForTheNextRead()
{
    StatusReader reader(capacity);
    StatusBatch first = reader.read("frame\nsize 12");
    QCOMPARE(first.frames, 1);
    QVERIFY(first.events.isEmpty());
    QVERIFY(reader.read("80 7").events.isEmpty());
    StatusBatch second = reader.read("20\nfra");
    QCOMPARE(second.events.size(), 1);
    QCOMPARE(second.events[0].width, 1280);
    QCOMPARE(second.events[0].height, 720);
    QCOMPARE(reader.read("me\n").frames, 1);

    // A new worker starts clean.
    reader.read("size 64");
    reader.reset();
    QVERIFY(reader.read("0 480\n").events.isEmpty());
    // Bytes after a NUL are not text.
    QCOMPARE(reader.read(QByteArray("frame\n\0frame\n", 13)).frames, 1);
}

void TestStatusReader::rejectsBadInput_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("size with one number") << QByteArray("size 640");
    QTest::newRow("size not a number") << QByteArray("size 640 tall");
    QTest::newRow("size zero") << QByteArray("size 0 480");
    QTest::newRow("size negative") << QByteArray("size -640 480");
    QTest::newRow("size past the frame file") << QByteArray("size 2048 1537");
    QTest::newRow("size overflowing int") << QByteArray("size 65536 65536");
    QTest::newRow("time alone") << QByteArray("time");
    QTest::newRow("state alone") << QByteArray("state");
    QTest::newRow("absolute-time alone") << QByteArray("absolute-time");
}

void TestStatusReader::rejectsBadInput()
{
    QFETCH(QByteArray, line);
    StatusReader reader(capacity);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Bad VLC input ")));
    QVERIFY(reader.read(line + "\n").events.isEmpty());
}

void TestStatusReader::ignoresWhatIsNotForIt()
{
    StatusReader reader(capacity);
    const StatusBatch batch = reader.read("time 0\ntime -5\ntime soon\n\nKeepAlive time exceeded. Quiting now.\n"
                                          "frames\nsize 2048 1536\n");
    QCOMPARE(batch.frames, 0);
    QCOMPARE(batch.events.size(), 1); // only the size that just fits
    QCOMPARE(batch.events[0].width, 2048);
}

QTEST_GUILESS_MAIN(TestStatusReader)
#include "tst_statusreader.moc"
