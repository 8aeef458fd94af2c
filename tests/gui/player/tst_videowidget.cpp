// The video widget with a scripted stand-in worker, and once with the real
// clipworker against camsim.
#include "simulator.h"
#include "core/settings.h"
#include "gui/player/videowidget.h"
#include "model/localserver.h"

#include <QDropEvent>
#include <QJsonArray>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

using namespace OrvantaClient;
using GUI::Player::VideoWidget;

class TestVideoWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void framePixelsReachTheScreen();
    void placement_data();
    void placement();
    void commandsWaitForTheWorkerAndVolumeFollowsSelection();
    void qualityChanges();
    void reloadsThenGivesUpThenRetries();
    void silentLiveWorkerIsReloaded();
    void stateSevenStopsArchive();
    void snapshotAndDrop();
    void realClipworkerPlaysCamsim();

private:
    VideoWidget* widget(const QByteArray& script);
    QStringList log() const;

    QTemporaryDir m_dir;
    std::shared_ptr<API::LocalServer> m_server;
    std::unique_ptr<VideoWidget> m_widget;
};

void TestVideoWidget::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path()));
    App::Settings::instance().setValue("experimental/framepump", false);
    App::Settings::instance().setValue("common/exportPath", m_dir.filePath("exports"));
    qputenv("FAKE_WORKER_LOG", QFile::encodeName(m_dir.filePath("worker.log")));
    qputenv("FAKE_WORKER_SCRIPT", QFile::encodeName(m_dir.filePath("script")));
    m_server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", 9, "pw");
    m_server->updateCameras(QJsonArray{QJsonObject{{"id", 1}, {"name", "Door: east"}, {"online", true}}});
}

void TestVideoWidget::init()
{
    m_widget.reset();
    QFile::remove(m_dir.filePath("worker.log"));
    m_server->item(1)->setRotation(0);
    m_server->item(1)->setMirror(false);
    m_server->item(1)->setAspectMode(0);
}

VideoWidget* TestVideoWidget::widget(const QByteArray& script)
{
    QFile file(m_dir.filePath("script"));
    file.open(QIODevice::WriteOnly);
    file.write(script);
    file.close();
    m_widget = std::make_unique<VideoWidget>(m_server->item(1));
    m_widget->setWorkerDirectory(FAKE_WORKER_DIR);
    m_widget->resize(320, 240);
    m_widget->show();
    return m_widget.get();
}

QStringList TestVideoWidget::log() const
{
    QFile file(m_dir.filePath("worker.log"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void TestVideoWidget::framePixelsReachTheScreen()
{
    // Alpha 0, as one of libvlc's converters leaves it: still an opaque picture.
    VideoWidget* w = widget("fill 250 20 20 0 64 48\nprint size 64 48\nprint frame\nwait\n");
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    QCOMPARE(w->state(), int(VideoWidget::Playing));
    const QImage shot = w->grab().toImage();
    QCOMPARE(QColor(shot.pixel(160, 120)), QColor(250, 20, 20));
    QCOMPARE(w->videoRect(), QRect(0, 0, 320, 240));

    m_server->item(1)->setRotation(90); // 3:4 after turning, in a 4:3 cell
    w->update();
    QTRY_COMPARE(w->grab().toImage().pixel(10, 120), QColor(25, 25, 29).rgb());
    QCOMPARE(w->videoRect(), QRect(70, 0, 180, 240));
}

void TestVideoWidget::placement_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<QRect>("target");
    QTest::addColumn<QRect>("source");
    const QSize image(1280, 720);
    QTest::newRow("fit, taller cell") << 0 << QSize(400, 400) << QRect(0, 87, 400, 225) << QRect(QPoint(), image);
    QTest::newRow("fit, wider cell") << 0 << QSize(800, 300) << QRect(133, 0, 533, 300) << QRect(QPoint(), image);
    QTest::newRow("crop the centre") << 1 << QSize(400, 400) << QRect(0, 0, 400, 400) << QRect(280, 0, 720, 720);
    QTest::newRow("stretch") << 2 << QSize(400, 400) << QRect(0, 0, 400, 400) << QRect(QPoint(), image);
}

void TestVideoWidget::placement()
{
    QFETCH(int, mode);
    QFETCH(QSize, widget);
    QFETCH(QRect, target);
    QFETCH(QRect, source);
    QRect shown;
    QCOMPARE(VideoWidget::targetRect(widget, 16.0 / 9.0, mode, QSize(1280, 720), &shown), target);
    QCOMPARE(shown, source);
}

void TestVideoWidget::commandsWaitForTheWorkerAndVolumeFollowsSelection()
{
    VideoWidget* w = widget("wait\n");
    w->setSoundVolume(40); // inactive: heard at 0
    w->pause();
    QVERIFY(w->playLive());
    w->setActive(true);
    w->setSoundVolume(60);
    w->enableSound(false);
    // The watchdog's pings may come in between on a slow machine.
    const auto commands = [this] { return log().filter(QRegularExpression("^(?!ping$)")); };
    QTRY_COMPARE_WITH_TIMEOUT(commands(), (QStringList{"started", "volume 0", "pause", "volume 60", "volume 0"}), 20000);
}

void TestVideoWidget::qualityChanges()
{
    VideoWidget* w = widget("wait\n");
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(log().count("started"), 1, 20000);
    w->setQuality(3);
    w->setQuality(2);
    QCOMPARE(log().count("started"), 1);
    w->setQuality(0);
    QCOMPARE(w->quality(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(log().count("started"), 2, 20000);
}

void TestVideoWidget::reloadsThenGivesUpThenRetries()
{
    // A worker that ends at once: three reloads, then a pause, then a new start.
    VideoWidget* w = widget("exit 0\n");
    w->setTimings(50, 0, 0, 1500, 60000);
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(w->message(), QStringLiteral("No video available"), 20000);
    QCOMPARE(log().count("started"), 4);
    QCOMPARE(w->state(), int(VideoWidget::Idle));
    QTRY_VERIFY_WITH_TIMEOUT(log().count("started") >= 5, 20000);
    QVERIFY(w->playLive()); // a start from outside counts from zero again
    QCOMPARE(w->reloads(), 0);
}

void TestVideoWidget::silentLiveWorkerIsReloaded()
{
    VideoWidget* w = widget("fill 0 0 255 255 8 8\nprint size 8 8\nprint frame\nwait\n");
    w->setTimings(50, 0, 0, 60000, 400);
    QSignalSpy errors(w, &VideoWidget::error);
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    QVERIFY(errors.wait(20000)); // no frame for 400 ms
    QTRY_VERIFY_WITH_TIMEOUT(log().count("started") >= 2, 20000);

    // One whose first pictures come after it was given up, but before the reload,
    // plays on: no reload of a moving picture.
    QByteArray late = "fill 0 255 0 255 8 8\nprint size 8 8\nsleep 700\n";
    for (int i = 0; i < 120; ++i)
        late += "print frame\nsleep 40\n";
    w = widget(late + "wait\n");
    QFile::remove(m_dir.filePath("worker.log"));
    w->setTimings(50, 0, 3000, 60000, 400);
    QSignalSpy lateErrors(w, &VideoWidget::error);
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    QVERIFY(lateErrors.count() >= 1);
    QCOMPARE(w->state(), int(VideoWidget::Playing));
    QTest::qWait(3500); // past the reload the failure had planned
    QCOMPARE(log().count("started"), 1);
    QCOMPARE(w->state(), int(VideoWidget::Playing));
}

void TestVideoWidget::stateSevenStopsArchive()
{
    VideoWidget* w = widget("print state 7\nwait\n");
    w->setArchiveMode(true);
    QVERIFY(w->play("http://127.0.0.1:9/flv/archive"));
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Error), 20000);
    QTest::qWait(300);
    QCOMPARE(log().count("started"), 1); // stopped, not reloaded
}

void TestVideoWidget::snapshotAndDrop()
{
    VideoWidget* w = widget("fill 10 200 10 255 16 16\nprint size 16 16\nprint frame\nwait\n");
    w->setPosition(API::LayoutCellPoint(2, 1));
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    w->setTime(QDateTime(QDate(2026, 3, 10), QTime(8, 9, 10)));
    QSignalSpy saved(w, &VideoWidget::snapshotSaved);
    QMetaObject::invokeMethod(w, "on_cameraScreenshotButton_clicked");
    QCOMPARE(saved.count(), 1);
    const QImage snapshot(m_dir.filePath("exports/snapshot Door_ east-10_03_26_08_09_10.png"));
    QCOMPARE(snapshot.size(), QSize(16, 16));

    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << qint32(0) << qint32(3); // row, then column
    QMimeData mime;
    mime.setData("layout-swap", data);
    QSignalSpy swap(w, &VideoWidget::swapRequested);
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    QCOMPARE(swap.count(), 1);
    QCOMPARE(swap.first().at(0).value<API::LayoutCellPoint>(), API::LayoutCellPoint(3, 0));
    QCOMPARE(swap.first().at(1).value<API::LayoutCellPoint>(), API::LayoutCellPoint(2, 1));
}

void TestVideoWidget::realClipworkerPlaysCamsim()
{
    Camsim::Simulator sim(Camsim::Scenario::defaults());
    QVERIFY(sim.start());
    const Camsim::ServerSpec& shop = sim.scenario().localServers.first();
    auto server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", sim.localPorts().first(), shop.password);
    server->updateCameras(QJsonArray{QJsonObject{{"id", 1}, {"name", "Counter"}, {"online", true}}});
    VideoWidget player(server->item(1));
    player.setWorkerDirectory(REAL_WORKER_DIR);
    player.resize(480, 360);
    player.show();
    QVERIFY(player.playLive());
    QTRY_VERIFY_WITH_TIMEOUT(player.hasFrame(), 30000);
    QCOMPARE(player.state(), int(VideoWidget::Playing));
    QVERIFY(!player.image().isNull());
    // For a look by eye: VIDEOWIDGET_SCREENSHOT=file.png keeps what was painted.
    if (qEnvironmentVariableIsSet("VIDEOWIDGET_SCREENSHOT")) {
        QTest::qWait(1500);
        player.grab().save(qEnvironmentVariable("VIDEOWIDGET_SCREENSHOT"));
    }
    player.stop();
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestVideoWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_videowidget.moc"
