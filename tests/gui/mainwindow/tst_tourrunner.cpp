// The timing of a tour with short periods: the order and the loop, the next
// step made ready before each switch, a pause while the user works and the
// quiet period after it, steps that went away, and the stop.
#include "gui/mainwindow/tourrunner.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

using namespace OrvantaClient::GUI;

namespace {

constexpr int dwellMs = 400;
constexpr int preloadMs = 200;
constexpr int quietMs = 600;

struct Event
{
    QString what;
    qint64 at;
};

} // namespace

class TestTourRunner : public QObject
{
    Q_OBJECT
private slots:
    void switchesInOrderAndHoldsForTheUser();
};

void TestTourRunner::switchesInOrderAndHoldsForTheUser()
{
    TourRunner runner;
    runner.setTimings(dwellMs, preloadMs, quietMs);
    QSet<QString> gone{"b"};
    runner.setAvailability([&gone](const QString& step) { return !gone.contains(step); });
    QElapsedTimer clock;
    clock.start();
    QList<Event> events;
    connect(&runner, &TourRunner::preload, this, [&](const QString& step) { events.append({"preload " + step, clock.elapsed()}); });
    connect(&runner, &TourRunner::show, this, [&](const QString& step) { events.append({"show " + step, clock.elapsed()}); });
    connect(&runner, &TourRunner::pausedChanged, this, [&](bool paused) {
        events.append({paused ? "paused" : "resumed", clock.elapsed()});
    });
    QSignalSpy stopped(&runner, &TourRunner::stopped);
    const auto names = [&events](int from = 0) {
        QStringList list;
        for (int i = from; i < events.size(); ++i)
            list << events.at(i).what;
        return list;
    };
    const auto at = [&events](const QString& what, int from = 0) {
        for (int i = from; i < events.size(); ++i) {
            if (events.at(i).what == what)
                return events.at(i).at;
        }
        return qint64(-1);
    };

    // The first step at once; "b" is gone and skipped; the loop starts over,
    // and each switch is announced, the whole lead ahead, for the step it shows.
    runner.start({"a", "b", "c"});
    QCOMPARE(names(), QStringList{"show a"});
    QCOMPARE(runner.current(), QString("a"));
    QCOMPARE(runner.count(), 3);
    QVERIFY(runner.msToNext() > dwellMs - 100 && runner.msToNext() <= dwellMs);
    QTRY_COMPARE_WITH_TIMEOUT(names(), (QStringList{"show a", "preload c", "show c", "preload a", "show a"}), 10000);
    QCOMPARE(runner.position(), 0);
    for (const char* step : {"c", "a"}) {
        const qint64 lead = at(QStringLiteral("show ") + step, 1) - at(QStringLiteral("preload ") + step, 1);
        QVERIFY2(lead >= preloadMs - 20, qPrintable(QString::number(lead)));
    }
    QVERIFY(at("show c") - at("show a") >= dwellMs - 20);

    // Back again, "b" takes its turn.
    gone.clear();
    int mark = events.size();
    QTRY_COMPARE_WITH_TIMEOUT(names(mark), (QStringList{"preload b", "show b"}), 10000);
    QCOMPARE(runner.current(), QString("b"));

    // The user works in the window for longer than a dwell: nothing switches,
    // and a whole dwell follows the quiet period.
    mark = events.size();
    runner.interact();
    QCOMPARE(names(mark), QStringList{"paused"});
    QVERIFY(runner.isPaused());
    QCOMPARE(runner.msToNext(), -1);
    QElapsedTimer working;
    working.start();
    while (working.elapsed() < 2 * dwellMs) {
        QTest::qWait(50);
        runner.interact();
    }
    const qint64 lastTouch = clock.elapsed();
    QCOMPARE(names(mark), QStringList{"paused"});
    QTRY_COMPARE_WITH_TIMEOUT(names(mark), (QStringList{"paused", "resumed", "preload c", "show c"}), 10000);
    QVERIFY(at("resumed", mark) - lastTouch >= quietMs - 20);
    QVERIFY(at("show c", mark) - at("resumed", mark) >= dwellMs - 20);
    QVERIFY(!runner.isPaused());

    // Stopped, it stays still and no longer pauses.
    runner.stop();
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!runner.isRunning());
    mark = events.size();
    runner.interact();
    QTest::qWait(2 * dwellMs);
    QCOMPARE(names(mark), QStringList());
    QCOMPARE(stopped.count(), 1);

    // A lone step stays on screen without switches; once nothing is left the tour stops by itself.
    gone = {"a", "b"};
    runner.start({"a", "b", "c"});
    QCOMPARE(runner.current(), QString("c"));
    mark = events.size();
    QTest::qWait(dwellMs + dwellMs / 2);
    QCOMPARE(names(mark), QStringList());
    gone << "c";
    QVERIFY(stopped.wait(10000));
    QVERIFY(!runner.isRunning());
    runner.start({"a"});
    QCOMPARE(stopped.count(), 3);
}

QTEST_GUILESS_MAIN(TestTourRunner)
#include "tst_tourrunner.moc"
