#include "gui/player/ptzwidget.h"
#include "gui/player/ptzwidget_p.h"
#include "resources/resources.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::GUI;
using Direction = API::Camera::PtzMoveDirections;

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& position)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, widget->mapToGlobal(position), button,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Hover, then release, as the pointer does.
void click(QWidget* widget, const QPoint& position)
{
    sendMouse(widget, QEvent::MouseMove, position);
    sendMouse(widget, QEvent::MouseButtonPress, position);
    sendMouse(widget, QEvent::MouseButtonRelease, position);
}

} // namespace

class TestPtzWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clickIntoPicture_data();
    void clickIntoPicture();
    void padSectors_data();
    void padSectors();
    void zoomHalves_data();
    void zoomHalves();
    void patrolMenu();

private:
    PtzWidget* m_panel = nullptr;
};

void TestPtzWidget::init()
{
    m_panel = new PtzWidget;
    m_panel->resize(m_panel->minimumSize());
    m_panel->show();
}

void TestPtzWidget::cleanup()
{
    delete m_panel;
}

void TestPtzWidget::clickIntoPicture_data()
{
    QTest::addColumn<QRectF>("picture");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<int>("direction");
    // 200 x 100 centred at (100, 50): up and down are bounded by slopes of +-1,
    // left and right by slopes of +-0.25; the middle 80 x 40 is the centre.
    const QRectF wide(0, 0, 200, 100);
    QTest::newRow("up") << wide << QPointF(100, 5) << int(API::Camera::Up);
    QTest::newRow("up-right") << wide << QPointF(180, 10) << (API::Camera::Up | API::Camera::Right);
    QTest::newRow("right") << wide << QPointF(190, 45) << int(API::Camera::Right);
    QTest::newRow("down-right") << wide << QPointF(180, 90) << (API::Camera::Down | API::Camera::Right);
    QTest::newRow("down") << wide << QPointF(100, 95) << int(API::Camera::Down);
    QTest::newRow("down-left") << wide << QPointF(20, 90) << (API::Camera::Down | API::Camera::Left);
    QTest::newRow("left") << wide << QPointF(10, 50) << int(API::Camera::Left);
    QTest::newRow("up-left") << wide << QPointF(20, 10) << (API::Camera::Up | API::Camera::Left);
    QTest::newRow("centre") << wide << QPointF(100, 50) << PtzWidget::centreDirection;
    QTest::newRow("centre's corner") << wide << QPointF(139, 69) << PtzWidget::centreDirection;
    QTest::newRow("just right of the centre") << wide << QPointF(141, 50) << int(API::Camera::Right);
    QTest::newRow("outside right") << wide << QPointF(201, 50) << PtzWidget::noDirection;
    QTest::newRow("outside above") << wide << QPointF(100, -1) << PtzWidget::noDirection;
    QTest::newRow("picture placed off the origin")
        << QRectF(50, 20, 200, 100) << QPointF(150, 25) << int(API::Camera::Up);
    QTest::newRow("empty picture") << QRectF(10, 10, 0, 0) << QPointF(10, 10) << PtzWidget::noDirection;
}

void TestPtzWidget::clickIntoPicture()
{
    QFETCH(QRectF, picture);
    QFETCH(QPointF, point);
    QFETCH(int, direction);
    QCOMPARE(PtzWidget::directionAt(point, picture), direction);
}

void TestPtzWidget::padSectors_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<int>("sector");
    QTest::addColumn<int>("direction"); // -1: nothing is asked
    // The ring lies between radius 17 and 45 around (48, 48).
    QTest::newRow("17 px above: up") << QPoint(48, 31) << 1 << int(API::Camera::Up);
    QTest::newRow("16 px above: none") << QPoint(48, 32) << 0 << -1;
    QTest::newRow("23 degrees: right") << QPoint(88, 31) << 3 << int(API::Camera::Right);
    QTest::newRow("24 degrees: up-right") << QPoint(86, 31) << 2 << (API::Camera::Up | API::Camera::Right);
    QTest::newRow("down-right") << QPoint(66, 66) << 4 << (API::Camera::Down | API::Camera::Right);
    QTest::newRow("down") << QPoint(48, 80) << 5 << int(API::Camera::Down);
    QTest::newRow("down-left") << QPoint(30, 66) << 6 << (API::Camera::Down | API::Camera::Left);
    QTest::newRow("45 px left: left") << QPoint(3, 48) << 7 << int(API::Camera::Left);
    QTest::newRow("46 px left: none") << QPoint(2, 48) << 0 << -1;
    QTest::newRow("up-left") << QPoint(30, 30) << 8 << (API::Camera::Up | API::Camera::Left);
}

void TestPtzWidget::padSectors()
{
    QFETCH(QPoint, position);
    QFETCH(int, sector);
    QFETCH(int, direction);
    auto* pad = m_panel->findChild<PtzMovePrivate*>();
    QSignalSpy moves(m_panel, qOverload<Direction>(&PtzWidget::move));
    click(pad, position);
    QCOMPARE(pad->hoveredSector(), sector);
    QCOMPARE(moves.count(), direction == -1 ? 0 : 1);
    if (direction != -1)
        QCOMPARE(moves.first().first().value<Direction>(), Direction(direction));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(pad, &leave);
    QCOMPARE(pad->hoveredSector(), 0);
    sendMouse(pad, QEvent::MouseButtonRelease, position); // released after leaving: nothing
    QCOMPARE(moves.count(), direction == -1 ? 0 : 1);
}

void TestPtzWidget::zoomHalves_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("factor"); // 0: nothing is asked
    // In the panel the zoom pair is as wide as the pad, 100 px: the active strip
    // is x 9 to 90, plus left of 50.
    QTest::newRow("left of the strip") << 8 << 0;
    QTest::newRow("strip start") << 9 << 100;
    QTest::newRow("last of plus") << 49 << 100;
    QTest::newRow("first of minus") << 50 << -100;
    QTest::newRow("strip end") << 90 << -100;
    QTest::newRow("right of the strip") << 91 << 0;
}

void TestPtzWidget::zoomHalves()
{
    QFETCH(int, x);
    QFETCH(int, factor);
    auto* zoom = m_panel->findChild<PtzZoomPrivate*>();
    QCOMPARE(zoom->width(), 100);
    QSignalSpy zooms(m_panel, &PtzWidget::zoom);
    click(zoom, QPoint(x, 16));
    QCOMPARE(zooms.count(), factor ? 1 : 0);
    if (factor)
        QCOMPARE(zooms.first().first().toInt(), factor);
}

void TestPtzWidget::patrolMenu()
{
    auto* button = m_panel->findChild<PtzPatrolPrivate*>();
    QVERIFY(button->isHidden());
    QCOMPARE(m_panel->minimumWidth(), 100);
    QCOMPARE(m_panel->minimumHeight(), 100 + 4 + 32);

    m_panel->setPatrols({3, 10});
    QVERIFY(!button->isHidden());
    QCOMPARE(m_panel->minimumWidth(), 100 + 4 + 48);
    QMenu* menu = button->menu();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{"Route 3", "Route 10"}));

    QSignalSpy patrols(m_panel, &PtzWidget::patrol);
    menu->actions().at(1)->trigger();
    QCOMPARE(patrols.count(), 1);
    QCOMPARE(patrols.first().first().toInt(), 10);
    menu->actions().at(0)->setText(QStringLiteral("Route three"));
    menu->actions().at(0)->trigger();
    QCOMPARE(patrols.count(), 1);

    QPointer<QAction> old = menu->actions().first();
    m_panel->setPatrols({});
    QVERIFY(button->isHidden());
    QVERIFY(menu->isEmpty());
    QCOMPARE(m_panel->minimumWidth(), 100);
    QTRY_VERIFY_WITH_TIMEOUT(!old, 5000);
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerResources();
    TestPtzWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ptzwidget.moc"
