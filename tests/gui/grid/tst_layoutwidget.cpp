// The grid: players and placeholders in step with the layout, server drops,
// maximising, notifications, the size editor and the automatic quality.
#include "simulator.h"
#include "gui/grid/layoutwidget.h"
#include "gui/panels/gridsizeeditor.h"
#include "gui/timeline/timeline.h"
#include "gui/widgets/playernotification.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "stores/roster.h"

#include <QVBoxLayout>
#include "gui/player/videoplaceholder.h"
#include "gui/player/videowidget.h"

#include <QDataStream>
#include <QDrag>
#include <QDropEvent>
#include <QGridLayout>
#include <QJsonArray>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

using namespace OrvantaClient;
using GUI::LayoutWidget;

namespace {

std::shared_ptr<API::LocalServer> serverWith(const QString& host, int cameras)
{
    auto server = std::make_shared<API::LocalServer>("S", host, 1, "pw");
    QJsonArray list;
    for (int id = cameras; id >= 1; --id) // listed backwards: drops go by id
        list.append(QJsonObject{{"id", id}, {"name", QString("Cam %1").arg(id)}, {"online", true}});
    server->updateCameras(list);
    server->setExists(true);
    App::Roster::instance()->add(server);
    return server;
}

// The grid's picture while the server hovers over it goes to hovering.
void dropServer(LayoutWidget& widget, const QString& serverId, QImage* hovering = nullptr)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << serverId;
    QMimeData mime;
    mime.setData("server", data);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &enter);
    if (hovering)
        *hovering = widget.grab().toImage();
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &drop);
}

// The camsim "Shop" server with its two cameras, as the roster would hold it.
std::shared_ptr<API::LocalServer> camsimShop(const Camsim::Simulator& sim)
{
    const auto& shop = sim.scenario().localServers.first();
    auto server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", sim.localPorts().first(), shop.password);
    server->updateCameras(QJsonArray{QJsonObject{{"id", 1}, {"name", "Counter"}, {"online", true}},
                                     QJsonObject{{"id", 2}, {"name", "Back door"}, {"online", true}}});
    return server;
}

// The grid as a main window drives it: drops become changes of the layout.
void wireLikeTheMainWindow(LayoutWidget& widget, const API::LayoutPtr& layout)
{
    QObject::connect(&widget, &LayoutWidget::cameraDroppedFromLayout, layout.get(),
                     [layout](API::LayoutCellPoint a, API::LayoutCellPoint b) { layout->exchange(a, b); });
    QObject::connect(&widget, &LayoutWidget::cameraDroppedFromRoster, layout.get(),
                     [layout](API::CameraPtr camera, API::LayoutCellPoint point) {
                         layout->addCamera(camera, point.row, point.column, 1, 1);
                     });
}

// What a player puts on the drag when the user pulls its cell away.
std::unique_ptr<QMimeData> dragOutOf(GUI::Player::VideoWidget* player)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 20), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(player, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(45, 45), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(player, &move); // the offscreen platform ends the drag at once
    auto mime = std::make_unique<QMimeData>();
    if (auto* drag = player->findChild<QDrag*>()) {
        for (const QString& format : drag->mimeData()->formats())
            mime->setData(format, drag->mimeData()->data(format));
    }
    return mime;
}

// Drags the data onto the widget and lets go; whether the widget took it.
bool dropOn(QWidget* target, const QMimeData* mime)
{
    QDragEnterEvent enter(QPoint(30, 30), Qt::MoveAction | Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(30, 30), Qt::MoveAction | Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// The widget the grid shows at a cell.
QWidget* shownAt(LayoutWidget& widget, const API::LayoutCellPoint& point)
{
    auto* grid = widget.findChild<QGridLayout*>();
    QLayoutItem* item = grid->itemAtPosition(point.row, point.column);
    return item ? item->widget() : nullptr;
}

} // namespace

class TestLayoutWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void gridFollowsTheLayout();
    void serverDropsGrowTheGrid_data();
    void serverDropsGrowTheGrid();
    void maximisedCellAndNotifications();
    void cellDropsOnItselfAndOnOtherWindows();
    void sizeEditorAndQualityChoice();
    void gridAgainstCamsimForALookByEye();
    void archiveWithTimelineForALookByEye();

private:
    QTemporaryDir m_dir;
    std::shared_ptr<API::LocalServer> m_server;
};

void TestLayoutWidget::initTestCase()
{
    QDir::setCurrent(m_dir.path());
    m_server = serverWith("127.0.0.1", 4);
}

void TestLayoutWidget::gridFollowsTheLayout()
{
    auto layout = std::make_shared<API::Layout>();
    layout->resize(2, 3);
    layout->addCamera(m_server->item(1), 0, 0, 1, 2); // two rows high
    LayoutWidget widget;
    widget.resize(900, 600);
    widget.setLayout(layout);
    auto* grid = widget.findChild<QGridLayout*>();
    QVERIFY(widget.player({0, 0}));
    int row, column, rows, columns;
    grid->getItemPosition(grid->indexOf(widget.player({0, 0})), &row, &column, &rows, &columns);
    QCOMPARE(QList<int>({row, column, rows, columns}), QList<int>({0, 0, 2, 1}));
    QCOMPARE(widget.findChildren<GUI::Player::VideoPlaceholder*>().size(), 5);

    // The layout's own signals drive the grid.
    layout->addCamera(m_server->item(2), 0, 2, 1, 1);
    GUI::Player::VideoWidget* second = widget.player({2, 0});
    QVERIFY(second);
    layout->exchange({2, 0}, {1, 1});
    QCOMPARE(widget.player({1, 1}), second);
    QVERIFY(!widget.player({2, 0}));
    layout->resize(3, 3);
    QCOMPARE(widget.player({1, 1}), second); // kept, not recreated
    QTRY_COMPARE(widget.findChildren<GUI::Player::VideoPlaceholder*>().size(), 7);
    // A refresh from the service empties and refills every cell: the players stay.
    GUI::Player::VideoWidget* first = widget.player({0, 0});
    layout->update(API::Layout(*layout));
    QCoreApplication::processEvents();
    QCOMPARE(widget.player({0, 0}), first);
    QCOMPARE(widget.player({1, 1}), second);
    layout->removeCamera({1, 1});
    QVERIFY(!widget.player({1, 1}));
}

void TestLayoutWidget::serverDropsGrowTheGrid_data()
{
    QTest::addColumn<int>("cameras");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QSize>("grown");
    QTest::addColumn<int>("placed");
    QTest::newRow("9 on 1x1") << 9 << 1 << 1 << QSize(3, 3) << 9;
    QTest::newRow("50 on 2x2") << 50 << 2 << 2 << QSize(2, 6) << 12;
}

void TestLayoutWidget::serverDropsGrowTheGrid()
{
    QFETCH(int, cameras);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QSize, grown);
    QFETCH(int, placed);
    const auto server = serverWith(QString("127.0.0.%1").arg(cameras), cameras);
    auto layout = std::make_shared<API::Layout>();
    layout->resize(rows, columns);
    LayoutWidget widget;
    widget.setLayout(layout);
    // The main window grows the layout and turns each drop into an added camera.
    connect(&widget, &LayoutWidget::resizeRequested, layout.get(),
            [layout](int rows, int columns) { layout->resize(rows, columns); });
    connect(&widget, &LayoutWidget::cameraDroppedFromRoster, layout.get(),
            [layout](API::CameraPtr camera, API::LayoutCellPoint point) {
                layout->addCamera(camera, point.row, point.column, 1, 1);
            });
    widget.resize(640, 480);
    QImage hovering;
    dropServer(widget, server->id(), &hovering);
    // The grid's edge turns blue while the server is over it, and back after the drop.
    const QColor highlight(25, 134, 243);
    QCOMPARE(hovering.pixelColor(0, 240), highlight);
    QCOMPARE(hovering.pixelColor(639, 240), highlight);
    QVERIFY(widget.grab().toImage().pixelColor(0, 240) != highlight);
    QCOMPARE(QSize(layout->columns(), layout->rows()), grown);
    QCOMPARE(layout->camerasCount(), placed);
    QCOMPARE(layout->cell({0, 0}).camera, server->item(1));
    QCOMPARE(layout->cell({1, 0}).camera, server->item(2));
    QCOMPARE(widget.players().size(), placed);
}

void TestLayoutWidget::maximisedCellAndNotifications()
{
    auto layout = std::make_shared<API::Layout>();
    layout->resize(2, 2);
    layout->addCamera(m_server->item(1));
    layout->addCamera(m_server->item(2));
    LayoutWidget widget;
    widget.resize(800, 600);
    widget.setLayout(layout);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    const QRect quarter = widget.player({1, 0})->geometry();
    emit widget.player({1, 0})->doubleClicked({1, 0});
    QVERIFY(widget.isMaximized());
    QVERIFY(!widget.player({0, 0})->isVisible());
    // The cell takes the whole grid, not its quarter beside three blank ones.
    QTRY_COMPARE(widget.player({1, 0})->geometry(), widget.rect().adjusted(2, 2, -2, -2));
    emit widget.player({1, 0})->doubleClicked({1, 0});
    QTRY_COMPARE(widget.player({1, 0})->geometry(), quarter);
    QVERIFY(widget.player({0, 0})->isVisible());
    emit widget.player({1, 0})->doubleClicked({1, 0});
    layout->addCamera(m_server->item(3)); // shown in its own quarter
    QTRY_COMPARE(widget.player({0, 1})->size(), quarter.size());
    emit widget.player({1, 0})->doubleClicked({1, 0});
    layout->removeCamera({1, 0});
    QTRY_VERIFY(!widget.isMaximized()); // the cell is emptied on the next turn of the event loop
    QVERIFY(widget.player({0, 0})->isVisible());

    widget.showExportError();
    widget.showExportDone("/tmp/exports/a.mp4");
    widget.showExportError();
    const auto notes = widget.notifications();
    QCOMPARE(notes.size(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(notes.at(2)->y(), 10 + notes.at(0)->height() + 6 + notes.at(1)->height() + 6, 5000);
    QVERIFY(notes.at(1)->findChildren<QLabel*>().size() > 0);
    QMetaObject::invokeMethod(notes.at(0), "on_closeButton_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(widget.notifications().size(), 2, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(notes.at(2)->y(), 10 + notes.at(1)->height() + 6, 5000);
}

void TestLayoutWidget::cellDropsOnItselfAndOnOtherWindows()
{
    // Two windows, each with two cameras in the top row of a 2x2 grid.
    auto mine = std::make_shared<API::Layout>();
    mine->resize(2, 2);
    mine->addCamera(m_server->item(1));
    mine->addCamera(m_server->item(2));
    auto theirs = std::make_shared<API::Layout>();
    theirs->resize(2, 2);
    theirs->addCamera(m_server->item(3));
    theirs->addCamera(m_server->item(4));
    LayoutWidget window, other;
    window.setLayout(mine);
    other.setLayout(theirs);
    wireLikeTheMainWindow(window, mine);
    wireLikeTheMainWindow(other, theirs);
    const auto dragged = dragOutOf(window.player({1, 0}));

    // Let go over the cell it came from: nothing changes, the video stays on screen.
    GUI::Player::VideoWidget* second = window.player({1, 0});
    dropOn(second, dragged.get());
    QCoreApplication::processEvents();
    QCOMPARE(shownAt(window, {1, 0}), second);
    QCOMPARE(mine->cell({1, 0}).camera, m_server->item(2));
    QCOMPARE(window.findChildren<GUI::Player::VideoPlaceholder*>().size(), 2);

    // Over another window's cell: that window shows the camera there, and its
    // cell of the same row and column keeps its own.
    QVERIFY(dropOn(other.player({0, 0}), dragged.get()));
    QCOMPARE(theirs->cell({0, 0}).camera, m_server->item(2));
    QCOMPARE(theirs->cell({1, 0}).camera, m_server->item(4));
    QTRY_COMPARE(other.player({0, 0})->camera(), m_server->item(2));
    QCOMPARE(shownAt(other, {1, 0}), other.player({1, 0}));
    // Over an empty cell of the other window: added there, nothing moves.
    QVERIFY(dropOn(shownAt(other, {0, 1}), dragged.get()));
    QCOMPARE(theirs->cell({0, 1}).camera, m_server->item(2));
    QCOMPARE(theirs->cell({1, 0}).camera, m_server->item(4));
    QCOMPARE(mine->cell({1, 0}).camera, m_server->item(2));

    // Within its own grid the cell still swaps.
    QVERIFY(dropOn(window.player({0, 0}), dragged.get()));
    QCOMPARE(shownAt(window, {0, 0}), second);
    QCOMPARE(mine->cell({1, 0}).camera, m_server->item(1));
}

void TestLayoutWidget::sizeEditorAndQualityChoice()
{
    const QSize editor(104, 92);
    QCOMPARE(GUI::GridSizeEditor::hoveredSize({5, 40}, editor), QSize(0, 0));
    QCOMPARE(GUI::GridSizeEditor::hoveredSize({10, 10}, editor), QSize(1, 1));
    QCOMPARE(GUI::GridSizeEditor::hoveredSize({24, 22}, editor), QSize(2, 2)); // x 24 → column 2, y 22 → row 2
    QCOMPARE(GUI::GridSizeEditor::hoveredSize({94, 82}, editor), QSize(6, 6));

    QCOMPARE(LayoutWidget::qualityFor(399, false, false), 0);
    QCOMPARE(LayoutWidget::qualityFor(400, false, false), 1);
    QCOMPARE(LayoutWidget::qualityFor(959, false, false), 1);
    QCOMPARE(LayoutWidget::qualityFor(960, false, false), 2);
    QCOMPARE(LayoutWidget::qualityFor(300, true, false), 2);
    QCOMPARE(LayoutWidget::qualityFor(300, false, true), 2);

    // A settled resize changes only the players whose quality changes.
    auto layout = std::make_shared<API::Layout>();
    layout->resize(1, 2);
    layout->addCamera(m_server->item(3));
    layout->addCamera(m_server->item(4));
    LayoutWidget widget;
    widget.resize(1000, 400);
    widget.setLayout(layout);
    widget.show();
    QTRY_COMPARE_WITH_TIMEOUT(widget.player({0, 0})->quality(), 1, 5000); // two cells of about 500 px
    widget.resize(2400, 400);
    QTRY_COMPARE_WITH_TIMEOUT(widget.player({0, 0})->quality(), 2, 5000);
    QCOMPARE(widget.player({1, 0})->quality(), 2);
    widget.setQuality(0); // a fixed choice turns the automatic one off
    widget.resize(1000, 400);
    QTest::qWait(700);
    QCOMPARE(widget.player({0, 0})->quality(), 0);

    // A layout opened in a grid on screen starts on its cells' streams, not on
    // the full one to be restarted once the grid settles.
    LayoutWidget shown;
    shown.resize(1000, 400);
    shown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    auto wall = std::make_shared<API::Layout>();
    wall->resize(2, 3);
    wall->addCamera(m_server->item(1));
    wall->addCamera(m_server->item(2), 1, 0, 2, 1); // two columns wide
    shown.setLayout(wall);
    QCOMPARE(shown.player({0, 0})->quality(), 0); // about 330 px
    QCOMPARE(shown.player({0, 1})->quality(), 1); // about 660 px
}

void TestLayoutWidget::gridAgainstCamsimForALookByEye()
{
    // LAYOUT_SCREENSHOT=file.png plays a 2x2 grid from camsim with the real workers.
    if (!qEnvironmentVariableIsSet("LAYOUT_SCREENSHOT"))
        QSKIP("set LAYOUT_SCREENSHOT to take the picture");
    Camsim::Simulator sim(Camsim::Scenario::defaults());
    QVERIFY(sim.start());
    const auto server = camsimShop(sim);
    auto layout = std::make_shared<API::Layout>();
    layout->resize(2, 2);
    layout->addCamera(server->item(1));
    layout->addCamera(server->item(2));
    layout->addCamera(server->item(1));
    LayoutWidget widget;
    widget.resize(960, 560);
    widget.setLayout(layout);
    for (auto* player : widget.players())
        player->setWorkerDirectory(REAL_WORKER_DIR), player->playLive();
    widget.show();
    QTRY_VERIFY_WITH_TIMEOUT(widget.player({0, 0})->hasFrame() && widget.player({1, 0})->hasFrame(), 30000);
    widget.showExportDone(m_dir.filePath("video.mp4"));
    QTest::qWait(1500);
    widget.grab().save(qEnvironmentVariable("LAYOUT_SCREENSHOT"));
}

void TestLayoutWidget::archiveWithTimelineForALookByEye()
{
    // ARCHIVE_SCREENSHOT=file.png: yesterday's archive from camsim under its timeline.
    if (!qEnvironmentVariableIsSet("ARCHIVE_SCREENSHOT"))
        QSKIP("set ARCHIVE_SCREENSHOT to take the picture");
    Camsim::Simulator sim(Camsim::Scenario::defaults());
    QVERIFY(sim.start());
    const auto server = camsimShop(sim);
    auto layout = std::make_shared<API::Layout>();
    layout->resize(1, 2);
    layout->addCamera(server->item(1));
    layout->addCamera(server->item(2));

    QWidget window;
    auto* box = new QVBoxLayout(&window);
    auto* grid = new LayoutWidget(&window);
    auto* timeline = new GUI::Timeline(&window);
    box->addWidget(grid, 1);
    box->addWidget(timeline);
    window.resize(960, 420);
    grid->setArchiveMode(true);
    grid->setLayout(layout);
    timeline->setLayout(layout);
    const QDate day = QDate::currentDate().addDays(-1);
    timeline->changeDate(day);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(server->item(1)->hasRecords(day) || server->item(2)->hasRecords(day), 30000);
    const API::CameraPtr camera = server->item(1)->hasRecords(day) ? server->item(1) : server->item(2);
    const QDateTime start = camera->records(day).at(camera->records(day).size() / 2).start.addSecs(30);
    for (auto* player : grid->players()) {
        player->setWorkerDirectory(REAL_WORKER_DIR);
        player->playArchive(start, 1);
    }
    timeline->setPosition(start);
    QTRY_VERIFY_WITH_TIMEOUT(grid->player({0, 0})->hasFrame() || grid->player({1, 0})->hasFrame(), 30000);
    QTest::qWait(2000);
    window.grab().save(qEnvironmentVariable("ARCHIVE_SCREENSHOT"));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestLayoutWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_layoutwidget.moc"
