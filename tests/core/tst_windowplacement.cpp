#include "core/windowplacement.h"

#include <QtTest>

using OrvantaClient::App::WindowPlacement;

class TestWindowPlacement : public QObject
{
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
};

void TestWindowPlacement::placement_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("source");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QList<bool>>("occupied");
    QTest::addColumn<QRect>("expected");

    const QRect own(0, 0, 640, 480);
    const QRect source(100, 50, 1200, 800);
    const QRect screen0(0, 0, 1920, 1080);
    const QRect screen1(1920, 0, 2560, 1440);
    const QRect screen2(-1280, 0, 1280, 1024);

    QTest::newRow("clone on one screen: same size, 30 px right and down")
        << own << source << QList<QRect>{screen0} << QList<bool>{true} << QRect(130, 80, 1200, 800);
    QTest::newRow("new window without a source keeps its own geometry")
        << own << QRect() << QList<QRect>{screen0} << QList<bool>{true} << own;
    QTest::newRow("second screen free: centred on it")
        << own << source << QList<QRect>{screen0, screen1} << QList<bool>{true, false}
        << QRect(QPoint(0, 0), QSize(1200, 800)).translated(screen1.center() - QRect(0, 0, 1200, 800).center());
    QTest::newRow("lowest free screen wins")
        << own << source << QList<QRect>{screen0, screen1, screen2} << QList<bool>{true, false, false}
        << QRect(0, 0, 1200, 800).translated(screen1.center() - QRect(0, 0, 1200, 800).center());
    QTest::newRow("every screen holds a window: offset from the source")
        << own << source << QList<QRect>{screen0, screen1} << QList<bool>{true, true} << QRect(130, 80, 1200, 800);
}

void TestWindowPlacement::placement()
{
    QFETCH(QRect, window);
    QFETCH(QRect, source);
    QFETCH(QList<QRect>, screens);
    QFETCH(QList<bool>, occupied);
    QFETCH(QRect, expected);
    QCOMPARE(WindowPlacement::place(window, source, screens, occupied), expected);
}

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
