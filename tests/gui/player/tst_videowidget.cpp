// The video widget with a scripted stand-in worker, and once with the real
// clipworker against camsim.
#include "messagecapture.h"
#include "httptestserver.h"
#include "simulator.h"
#include "core/settings.h"
#include "gui/player/healthoverlay.h"
#include "gui/player/patrolbadge.h"
#include "gui/player/ptzwidget.h"
#include "gui/player/ptzwidget_p.h"
#include "gui/player/videowidget.h"
#include "gui/widgets/spinnerwidget.h"
#include "model/localserver.h"
#include "stores/roster.h"

#include <QDropEvent>
#include <QJsonArray>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
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
    void endedWorkerIsReplacedAtOnceAndOutagesDoNotAddUp();
    void stateSevenStopsArchive();
    void cloudCellsWaitForTheService();
    void workerEndsAndFrameFileFailuresAreLoggedOnce();
    void secretsStayOffTheCommandLine();
    void snapshotAndDrop();
    void zoomShowsThePartAskedForInDetail();
    void realClipworkerPlaysCamsim();
    void healthOverlayCountsAndReconnectingSaysWhichAttempt();
    void patrolButtonFitsAndARunningPatrolShowsInEveryCell();

private:
    VideoWidget* widget(const QByteArray& script, API::CameraPtr camera = nullptr);
    void setScript(const QByteArray& script);
    QStringList log() const;
    QStringList workerArguments() const;

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
    qputenv("FAKE_WORKER_ARGUMENTS", QFile::encodeName(m_dir.filePath("arguments")));
    m_server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", 9, "s3cret");
    m_server->updateCameras(QJsonArray{QJsonObject{{"id", 1}, {"name", "Door: east"}, {"online", true},
                                                   {"streams", QJsonObject{{"0", true}, {"1", true}, {"2", true}}}},
                                       QJsonObject{{"id", 2}, {"name", "Yard"}, {"online", true},
                                                   {"features", QJsonObject{{"ptz", true}}}}});
}

void TestVideoWidget::init()
{
    m_widget.reset();
    QFile::remove(m_dir.filePath("worker.log"));
    QFile::remove(m_dir.filePath("arguments"));
    m_server->item(1)->setRotation(0);
    m_server->item(1)->setMirror(false);
    m_server->item(1)->setAspectMode(0);
}

void TestVideoWidget::setScript(const QByteArray& script)
{
    QFile file(m_dir.filePath("script"));
    file.open(QIODevice::WriteOnly);
    file.write(script);
}

VideoWidget* TestVideoWidget::widget(const QByteArray& script, API::CameraPtr camera)
{
    setScript(script);
    m_widget = std::make_unique<VideoWidget>(camera ? camera : m_server->item(1));
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

QStringList TestVideoWidget::workerArguments() const
{
    QFile file(m_dir.filePath("arguments"));
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

    // The worker is asked for the picture at the size it is drawn, in the
    // stream's own orientation: 180x240 on screen is 240x180 before turning.
    const auto fits = [this] { return log().filter(QRegularExpression("^fit ")); };
    QTRY_COMPARE_WITH_TIMEOUT(fits(), (QStringList{"fit 320 240", "fit 240 180"}), 20000);
    w->resize(640, 480);
    QTRY_COMPARE_WITH_TIMEOUT(fits().mid(2), QStringList{"fit 480 360"}, 20000);
    m_server->item(1)->setRotation(0);

    // A 1280x720 stream fitted to a 905x721 cell comes as 905x510, rounded to
    // whole pixels: the cell keeps the stream's shape and asks for 905x509 again,
    // not for 905x510, which the worker would fit as 907x510, and so on forever.
    w = widget("print source 1280 720\nfill 10 200 10 255 905 510\nprint size 905 510\nprint frame\nwait\n");
    const int before = fits().size();
    w->resize(905, 721);
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(fits().size(), before + 2, 20000);
    QCOMPARE(fits().mid(before), (QStringList{"fit 905 721", "fit 905 509"}));
    QCOMPARE(w->videoRect(), QRect(0, 106, 905, 509));
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
    w->setTimings(2000, 3000, 10000, 30000, 600000); // no reload of the silent worker
    w->setSoundVolume(40); // inactive: heard at 0
    w->pause(); // meant for a worker that is not there: the start below plays
    QVERIFY(w->playLive());
    w->setActive(true);
    w->setSoundVolume(60);
    // The watchdog's pings may come in between on a slow machine; the boxes the
    // picture is fitted to have a test of their own.
    const auto commands = [this] { return log().filter(QRegularExpression("^(?!ping$|fit )")); };
    QTRY_COMPARE_WITH_TIMEOUT(commands(), (QStringList{"started", "volume 0", "volume 60"}), 20000);

    // Every later start hears the cell as it is then: a quality change, a reload.
    w->setQuality(0);
    QTRY_COMPARE_WITH_TIMEOUT(commands(), (QStringList{"started", "volume 0", "volume 60", "started", "volume 60"}),
                              20000);
    w->enableSound(false);
    QTRY_COMPARE_WITH_TIMEOUT(commands().mid(5), QStringList{"volume 0"}, 20000);
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(commands().mid(6), (QStringList{"started", "volume 0"}), 20000);
}

void TestVideoWidget::qualityChanges()
{
    VideoWidget* w = widget("fill 250 20 20 255 64 48\nprint size 64 48\nprint frame\nwait\n");
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    w->setQuality(3);
    w->setQuality(2);
    QCOMPARE(log().count("started"), 1);

    // The new stream's worker writes pictures of its own size over the shared
    // frame file before it announces one: until then the cell keeps showing the
    // last picture, whole and in its own shape, and says after a while that it waits.
    setScript("fill 0 0 0 255 64 48\nprint size 32 24\nwait\n");
    w->setQuality(0);
    QCOMPARE(w->quality(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(log().count("started"), 2, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(w->pictureSize(), QSize(32, 24), 20000);
    const QImage shown = w->grab().toImage();
    QCOMPARE(QColor(shown.pixel(160, 120)), QColor(250, 20, 20));
    QCOMPARE(QColor(shown.pixel(10, 120)), QColor(250, 20, 20));
    QCOMPARE(w->videoRect(), QRect(0, 0, 320, 240));
    auto* spinner = w->findChild<GUI::SpinnerWidget*>();
    QVERIFY(spinner);
    QTRY_VERIFY_WITH_TIMEOUT(spinner->isVisible(), 20000);
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

    // The retry is called off by a stop, and by any start in between: a worker
    // started meanwhile is not restarted.
    QTRY_COMPARE_WITH_TIMEOUT(w->message(), QStringLiteral("No video available"), 20000);
    w->stop();
    const int starts = log().count("started");
    QTest::qWait(2500); // past the retry
    QCOMPARE(log().count("started"), starts);
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(w->message(), QStringLiteral("No video available"), 20000);
    setScript("wait\n");
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(log().count("started"), starts + 5, 20000); // four failed starts, one good one
    QTest::qWait(2500);
    QCOMPARE(log().count("started"), starts + 5);
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
    // plays on: no reload of a moving picture. The failure of the worker before it
    // ("state 7") is not held against it, and the PTZ pad hidden on the failures
    // comes back.
    w = widget("print state 7\nwait\n", m_server->item(2));
    w->resize(800, 600);
    w->setTimings(50, 0, 3000, 60000, 400);
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Error), 20000);
    auto* pad = w->findChild<GUI::PtzWidget*>();
    QVERIFY(pad && !pad->isVisible());
    QByteArray late = "fill 0 255 0 255 8 8\nprint size 8 8\nsleep 700\n";
    for (int i = 0; i < 120; ++i)
        late += "print frame\nsleep 40\n";
    setScript(late + "wait\n");
    QFile::remove(m_dir.filePath("worker.log"));
    QSignalSpy lateErrors(w, &VideoWidget::error);
    QVERIFY(w->playLive()); // as the watchdog's reload does
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    QVERIFY(lateErrors.count() >= 1);
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Playing), 2000);
    QVERIFY(pad->isVisible());
    QTest::qWait(3500); // past the reload the failure had planned
    QCOMPARE(log().count("started"), 1);
    QCOMPARE(w->state(), int(VideoWidget::Playing));

    // A worker that hangs without a word (a server that accepts and never
    // answers) has been frozen since it was asked: it is reloaded once the
    // picture counts as frozen, not after waiting for that a second time.
    setScript("wait\n");
    QFile::remove(m_dir.filePath("worker.log"));
    w->setTimings(50, 0, 3000, 60000, 3000);
    QElapsedTimer sinceStart;
    sinceStart.start();
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(log().count("started") >= 2, 20000);
    QVERIFY2(sinceStart.elapsed() < 5500, qPrintable(QString::number(sinceStart.elapsed())));
}

void TestVideoWidget::endedWorkerIsReplacedAtOnceAndOutagesDoNotAddUp()
{
    // A worker killed while it plays, or whose stream ends, is replaced
    // without waiting for the picture to count as frozen (a minute here).
    QByteArray playing = "fill 0 0 255 255 8 8\nprint size 8 8\n";
    for (int i = 0; i < 25; ++i)
        playing += "print frame\nsleep 40\n";
    VideoWidget* w = nullptr;
    for (const QByteArray& end : {QByteArray("signal 9\n"), QByteArray("print state 7\nprint state 5\nwait\n")}) {
        w = widget(playing + end);
        w->setTimings(50, 0, 60000, 60000, 60000);
        QFile::remove(m_dir.filePath("worker.log"));
        QVERIFY(w->playLive());
        QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Playing), 20000);
        QTRY_VERIFY2_WITH_TIMEOUT(log().count("started") >= 2, end.constData(), 10000);
    }
    // One that never played (a refused stream) is not asked again at every beat.
    w = widget("print state 7\nwait\n");
    w->setTimings(50, 0, 60000, 60000, 60000);
    QFile::remove(m_dir.filePath("worker.log"));
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Error), 20000);
    QTest::qWait(1000);
    QCOMPARE(log().count("started"), 1);

    // Each worker plays a moment, then dies: every outage is mended by one
    // reload, and the cell never gives up as it would after three reloads
    // that brought nothing back.
    w = widget(playing + "signal 9\n");
    w->setTimings(50, 0, 500, 60000, 60000);
    QFile::remove(m_dir.filePath("worker.log"));
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(log().count("started") >= 6, 30000);
    QVERIFY(w->message().isEmpty());
    QVERIFY(w->reloads() <= 1);
}

void TestVideoWidget::cloudCellsWaitForTheService()
{
    auto cloud = std::make_shared<API::Server>(QJsonObject{
        {"id", "srv-C"}, {"name", "Office"}, {"online", true},
        {"cameras", QJsonArray{QJsonObject{{"id", 7}, {"name", "Gate"}, {"online", true},
                                           {"rights", QJsonArray{"live", "ptz"}},
                                           {"features", QJsonObject{{"ptz", true}}},
                                           {"services", QJsonObject{{"enabled", QJsonObject{{"active", true}}}}}}}}});
    App::Roster* roster = App::Roster::instance();
    roster->add(cloud);
    const QByteArray script = "fill 0 0 255 255 8 8\nprint size 8 8\nprint frame\nwait\n";
    VideoWidget* w = widget(script, cloud->item(7));
    w->resize(800, 600);
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Playing), 20000);
    auto* pad = w->findChild<GUI::PtzWidget*>();
    QVERIFY(pad->isVisible());
    VideoWidget local(m_server->item(1));
    local.setWorkerDirectory(FAKE_WORKER_DIR);
    QVERIFY(local.playLive());

    // The roster finds the service gone: the cell says so instead of spinning,
    // and offers no PTZ; a local camera does not need the service.
    roster->setServiceReachable(false);
    const QString waiting = QStringLiteral("No connection to the service, reconnecting...");
    QCOMPARE(w->message(), waiting);
    QCOMPARE(w->state(), int(VideoWidget::Idle));
    QVERIFY(!pad->isVisible());
    QVERIFY(!w->playLive());
    QCOMPARE(w->message(), waiting);
    QVERIFY(local.message().isEmpty());
    QVERIFY(local.state() != VideoWidget::Idle);

    // The next roster from the service brings the camera back: it plays again by itself.
    roster->setServiceReachable(true);
    cloud->setOnline(true);
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Playing), 20000);
    QVERIFY(w->message().isEmpty());
    QVERIFY(pad->isVisible());
    roster->removeAll();
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

void TestVideoWidget::workerEndsAndFrameFileFailuresAreLoggedOnce()
{
    // A frame file that cannot be made is reported once, by what failed: here
    // every name it may take is a folder.
    MessageCapture capture;
    VideoWidget* w = widget("wait\n");
    const QString name = w->frameFileName();
    const int first = name.section('-', -1).toInt();
    const QDir crowded(m_dir.filePath("crowded"));
    for (int i = first; i < first + 64; ++i)
        QVERIFY(crowded.mkpath(QString(name).replace(QRegularExpression("[0-9]+$"), QString::number(i))));
    const QByteArray temp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(crowded.path()));
    const bool started = w->playLive();
    if (temp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", temp);
    QVERIFY(!started);
    const QStringList warnings = capture.messages().filter("SHM");
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings.first().contains("Could not open SHM file"), qPrintable(warnings.first()));

    // A worker that ends on its own leaves its exit code or signal in the log.
    w = widget("exit 3\n");
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(capture.contains("exited with code: 3 camera: \"Door: east\""), 20000);
    setScript("signal 15\n");
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(capture.contains("ended by signal: 15 camera: \"Door: east\""), 20000);
}

void TestVideoWidget::secretsStayOffTheCommandLine()
{
    // The local server's password is in the stream address: it goes by the
    // environment.
    VideoWidget* w = widget("wait\n");
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(workerArguments().size(), 4, 20000);
    QCOMPARE(workerArguments().mid(0, 2), (QStringList{"-", w->frameFileName()}));
    QCOMPARE(workerArguments().at(2), "WATCHDESK_STREAM=" + m_server->item(1)->liveUrl(2));
    QVERIFY(workerArguments().at(2).contains("s3cret"));

    // A cloud camera through a proxy: the proxy password goes the same way.
    App::Settings& settings = App::Settings::instance();
    settings.setValue("proxy/useProxy", true);
    settings.setValue("proxy/host", "proxy.lan");
    settings.setValue("proxy/port", 3128);
    settings.setValue("proxy/username", "bob%1"); // stays as typed
    settings.setValue("proxy/password", "hunter2");
    API::Server cloud(QJsonObject{{"id", "srv"}, {"online", true},
                                  {"cameras", QJsonArray{QJsonObject{
                                                  {"id", 4}, {"name", "Gate"}, {"online", true},
                                                  {"rights", QJsonArray{"live"}},
                                                  {"services", QJsonObject{{"enabled", QJsonObject{{"active", true}}}}}}}}});
    QFile::remove(m_dir.filePath("arguments"));
    w = widget("wait\n", cloud.item(4));
    QVERIFY(w->playLive());
    const QString url = cloud.item(4)->liveUrl(2);
    settings.setValue("proxy/useProxy", false);
    QTRY_COMPARE_WITH_TIMEOUT(workerArguments().size(), 5, 20000);
    QCOMPARE(workerArguments().mid(0, 3),
             (QStringList{"-", w->frameFileName(), ":http-proxy=http://bob%1@proxy.lan:3128/"}));
    QCOMPARE(workerArguments().at(3), "WATCHDESK_STREAM=" + url);
    QCOMPARE(workerArguments().at(4), QStringLiteral("WATCHDESK_PROXY_PASSWORD=hunter2"));
    m_widget.reset();
}

void TestVideoWidget::snapshotAndDrop()
{
    VideoWidget* w = widget("fill 10 200 10 255 24 16\nprint size 24 16\nprint frame\nwait\n");
    w->setPosition(API::LayoutCellPoint(2, 1));
    QVERIFY(w->playLive());
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    w->setTime(QDateTime(QDate(2026, 3, 10), QTime(8, 9, 10)));
    QSignalSpy saved(w, &VideoWidget::snapshotSaved);
    QMetaObject::invokeMethod(w, "on_cameraScreenshotButton_clicked");
    QCOMPARE(saved.count(), 1);
    // The picture as the stream gives it, and its size in the name: a reduced
    // stream of a small cell is not passed off as the camera's full picture.
    const QImage snapshot(m_dir.filePath("exports/snapshot Door_ east-10_03_26_08_09_10-24x16.png"));
    QCOMPARE(snapshot.size(), QSize(24, 16));

    // A cell that plays a reduced stream: the snapshot comes from the best one,
    // through a worker of its own, while the cell plays on.
    QVERIFY(w->playLive(0));
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Playing), 20000);
    const auto streamOf = [this] { return workerArguments().filter("WATCHDESK_STREAM=").value(0); };
    QVERIFY(streamOf().contains("&q=0&"));
    // A light stream is decoded on one thread.
    QCOMPARE(workerArguments().at(2), QStringLiteral(":avcodec-threads=1"));
    setScript("fill 10 200 10 255 48 32\nprint size 48 32\nprint frame\nwait\n");
    w->setTime(QDateTime(QDate(2026, 3, 10), QTime(8, 9, 11)));
    QMetaObject::invokeMethod(w, "on_cameraScreenshotButton_clicked");
    QVERIFY(saved.wait(20000));
    QCOMPARE(QImage(m_dir.filePath("exports/snapshot Door_ east-10_03_26_08_09_11-48x32.png")).size(), QSize(48, 32));
    QVERIFY(streamOf().contains("&q=2&"));
    QVERIFY(workerArguments().filter("avcodec-threads").isEmpty());
    QCOMPARE(w->state(), int(VideoWidget::Playing));
    // One that gives no picture leaves the picture shown.
    setScript("exit 0\n");
    w->setTime(QDateTime(QDate(2026, 3, 10), QTime(8, 9, 12)));
    QMetaObject::invokeMethod(w, "on_cameraScreenshotButton_clicked");
    QVERIFY(saved.wait(20000));
    QCOMPARE(QImage(m_dir.filePath("exports/snapshot Door_ east-10_03_26_08_09_12-24x16.png")).size(), QSize(24, 16));
    QCOMPARE(saved.count(), 3);

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

void TestVideoWidget::zoomShowsThePartAskedForInDetail()
{
    // The ramp's red is 4 x, its green 4 y: a pixel on screen says where in the
    // 64 x 48 picture it came from. The stream holds 320 x 240.
    VideoWidget* w = widget("ramp 64 48\nprint source 320 240\nprint size 64 48\nprint frame\nwait\n");
    QVERIFY(w->playLive(0));
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    const auto pictureAt = [w](QPoint screen) {
        const QColor c = w->grab().toImage().pixelColor(screen);
        return QPointF(c.red() / 4.0, c.green() / 4.0);
    };
    const auto fits = [this] { return log().filter(QRegularExpression("^fit ")); };
    QTRY_VERIFY_WITH_TIMEOUT(fits().contains("fit 320 240"), 20000);

    // Four notches at the bottom-right corner: that corner stays under the
    // pointer, and the view does not run past the picture's edge.
    QWheelEvent wheel(QPointF(320, 240), w->mapToGlobal(QPoint(320, 240)), QPoint(), QPoint(0, 480), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
    const double factor = std::pow(1.25, 4);
    QTRY_VERIFY(qAbs(w->zoomFactor() - factor) < 1e-9);
    QVERIFY(qAbs(w->zoomRegion().right() - 1.0) < 1e-9 && qAbs(w->zoomRegion().bottom() - 1.0) < 1e-9);
    // The cell's bars cover the top and bottom rows: the middle row is read.
    const double top = 48 * (1 - 1 / factor);
    const double left = 64 * (1 - 1 / factor);
    QTRY_VERIFY(qAbs(pictureAt(QPoint(0, 120)).x() - left) <= 1.0);
    QVERIFY(qAbs(pictureAt(QPoint(0, 120)).y() - (top + 24 / factor)) <= 1.0);
    QCOMPARE(pictureAt(QPoint(319, 120)).x(), 63.0);
    // The worker is asked for the picture at the size it is now shown at.
    QTRY_VERIFY_WITH_TIMEOUT(fits().contains(QStringLiteral("fit %1 %2").arg(qCeil(320 * factor)).arg(qCeil(240 * factor))),
                             20000);
    // It holds fewer pixels than that: a better stream is wanted, a stream not
    // yet seen is tried, and zooming out goes back to what suffices.
    QCOMPARE(w->detailQuality(0), 1);
    setScript("ramp 64 48\nprint source 480 360\nprint size 64 48\nprint frame\nwait\n");
    QVERIFY(w->playLive(1));
    QTRY_COMPARE_WITH_TIMEOUT(w->sourceSize(), QSize(480, 360), 20000);
    QCOMPARE(w->zoomFactor(), factor); // kept across the change of stream
    QCOMPARE(w->detailQuality(0), 2);
    w->zoomAt(1.4, QPointF(0.5, 0.5));
    QCOMPARE(w->detailQuality(0), 1);
    w->zoomAt(1.0, QPointF(0.5, 0.5));
    QVERIFY(!w->isZoomed());
    QCOMPARE(w->detailQuality(0), 0);

    // Turned and mirrored, the zoom works on the picture as the cell shows it: the
    // top-left pixel on screen is the top-left of the region of the shown picture.
    m_server->item(1)->setRotation(90);
    m_server->item(1)->setMirror(true);
    QTRY_COMPARE_WITH_TIMEOUT(w->image().size(), QSize(48, 64), 20000);
    w->zoomAt(2.0, QPointF(0.0, 1.0));
    QCOMPARE(w->zoomRegion(), QRectF(0, 0.5, 0.5, 0.5));
    w->grab(); // a paint places the turned picture
    const QRect shown = w->videoRect();
    QCOMPARE(shown, QRect(70, 0, 180, 240));
    // Halfway down the left edge of the view: three quarters down the picture.
    const QColor expected = w->image().pixelColor(0, 48);
    const QColor seen = w->grab().toImage().pixelColor(shown.left(), shown.center().y());
    QVERIFY2(qAbs(seen.red() - expected.red()) <= 4 && qAbs(seen.green() - expected.green()) <= 4, // one ramp step
             qPrintable(seen.name() + " " + expected.name()));
    QTRY_VERIFY_WITH_TIMEOUT(fits().constLast() == QStringLiteral("fit %1 %2").arg(2 * shown.height()).arg(2 * shown.width()),
                             20000);

    // A drag pans (the picture follows the pointer) and stops at the edge.
    const QPoint centre = shown.center();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, centre);
    QMouseEvent move(QEvent::MouseMove, centre + QPoint(0, shown.height()), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, centre + QPoint(0, shown.height()));
    QCOMPARE(w->zoomRegion(), QRectF(0, 0, 0.5, 0.5));
    QCOMPARE(w->zoomFactor(), 2.0);

    // A snapshot is what the cell shows, at the picture's resolution.
    m_server->item(1)->setRotation(0);
    m_server->item(1)->setMirror(false);
    setScript("ramp 64 48\nprint source 64 48\nprint size 64 48\nprint frame\nwait\n");
    QVERIFY(w->playLive(2));
    QTRY_COMPARE_WITH_TIMEOUT(w->sourceSize(), QSize(64, 48), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFrame(), 20000);
    w->zoomAt(2.0, QPointF(0.5, 0.5));
    w->zoomAt(4.0, QPointF(1.0, 1.0));
    QCOMPARE(w->zoomRegion(), QRectF(0.25, 0.25, 0.25, 0.25));
    w->setTime(QDateTime(QDate(2026, 3, 10), QTime(9, 0, 0)));
    QSignalSpy saved(w, &VideoWidget::snapshotSaved);
    QMetaObject::invokeMethod(w, "on_cameraScreenshotButton_clicked");
    QCOMPARE(saved.count(), 1);
    const QImage snapshot(m_dir.filePath("exports/snapshot Door_ east-10_03_26_09_00_00-16x12.png"));
    QCOMPARE(snapshot.size(), QSize(16, 12));
    QCOMPARE(snapshot.pixelColor(0, 0), QColor(4 * 16, 4 * 12, 0));

    // The overview's "1:1" shows the whole picture again, and the overview goes.
    QWidget* overview = w->findChild<QWidget*>("zoomOverview");
    QTRY_VERIFY(overview->isVisible());
    QTest::mouseClick(overview->findChild<QPushButton*>("zoomResetButton"), Qt::LeftButton);
    QVERIFY(!w->isZoomed());
    QTRY_VERIFY(!overview->isVisible());
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

void TestVideoWidget::healthOverlayCountsAndReconnectingSaysWhichAttempt()
{
    // A worker announcing 64x48 pictures at 25 a second for four seconds.
    QByteArray script = "fill 0 0 255 255 64 48\nprint size 64 48\n";
    for (int i = 0; i < 100; ++i)
        script += "print frame\nsleep 40\n";
    VideoWidget* w = widget(script + "wait\n");
    w->setTimings(2000, 3000, 10000, 60000, 60000);
    QVERIFY(!w->healthOverlay()); // nothing made while nobody looks
    QVERIFY(w->playLive());
    w->setHealthShown(true);
    GUI::Player::HealthOverlay* overlay = w->healthOverlay();
    QVERIFY(overlay && overlay->isVisible());
    const QRegularExpression rates("Frames per second: (\\d+) received, (\\d+) shown");
    const auto rate = [&](int which) { return rates.match(overlay->text()).captured(which).toInt(); };
    QTRY_VERIFY_WITH_TIMEOUT(rate(1) >= 10, 20000);
    QVERIFY2(rate(1) <= 30, qPrintable(overlay->text()));
    QVERIFY2(rate(2) >= 1 && rate(2) <= rate(1) + 1, qPrintable(overlay->text()));
    const QStringList lines = overlay->text().split('\n');
    QCOMPARE(lines.value(0), QStringLiteral("Resolution: 64 × 48"));
    QCOMPARE(lines.value(2), QStringLiteral("Quality: High"));
    QCOMPARE(lines.value(3), QStringLiteral("Worker: clipworker, restarts: 0"));
    overlay->setAutomaticQuality(true);
    QCOMPARE(overlay->text().split('\n').value(2), QStringLiteral("Quality: Auto (High)"));
    // The overlay sits over the picture, within the cell.
    QVERIFY(w->rect().contains(overlay->geometry()));
    // Once the pictures stop, so do the rates.
    QTRY_COMPARE_WITH_TIMEOUT(rate(1), 0, 20000);
    w->setHealthShown(false);
    QVERIFY(!w->healthOverlay() && !w->findChild<GUI::Player::HealthOverlay*>());

    // A worker that never plays: each reload the watchdog makes is told, until it gives up.
    w = widget("exit 0\n");
    w->setTimings(50, 0, 1500, 60000, 60000);
    auto* reconnecting = w->findChild<QLabel*>("reconnectLabel");
    QVERIFY(reconnecting && !reconnecting->isVisible());
    QVERIFY(w->playLive());
    for (const QString& text : QStringList{"Reconnecting (1/3)...", "Reconnecting (2/3)...", "Reconnecting (3/3)..."})
        QTRY_VERIFY2_WITH_TIMEOUT(reconnecting->isVisible() && reconnecting->text() == text, qPrintable(text), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(w->message(), QStringLiteral("No video available"), 20000);
    QVERIFY(!reconnecting->isVisible());
}

void TestVideoWidget::patrolButtonFitsAndARunningPatrolShowsInEveryCell()
{
    HttpTestServer lan;
    lan.setHandler([](const HttpTestServer::Request& request) {
        if (request.path.endsWith("ptz_patrol") && request.method == "GET")
            return HttpTestServer::Response::json(200, R"({"success":true,"response":"{\"2\":true}"})");
        return HttpTestServer::Response::json(200, R"({"success":true})");
    });
    API::LocalServer yard("Yard", "127.0.0.1", lan.port(), "pw");
    yard.updateCameras(QJsonArray{QJsonObject{{"id", 3}, {"name", "Gate"}, {"online", true},
                                              {"features", QJsonObject{{"ptz", true}}}}});
    const API::CameraPtr camera = yard.item(3);
    VideoWidget* w = widget("fill 0 0 255 255 8 8\nprint size 8 8\nprint frame\nwait\n", camera);
    w->resize(800, 600);
    QVERIFY(w->playLive());
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), int(VideoWidget::Playing), 20000);
    auto* pad = w->findChild<GUI::PtzWidget*>();
    QTRY_VERIFY(pad->isVisible());

    // The routes come after the panel was placed: the button they bring is
    // whole, inside the panel and the cell.
    QSignalSpy routes(camera.get(), &API::Camera::ptzPatrolsChanged);
    camera->requestPtzPatrols();
    QVERIFY(routes.wait(20000));
    auto* patrol = pad->findChild<GUI::PtzPatrolPrivate*>();
    QVERIFY(patrol->isVisible());
    const QRect button(patrol->mapTo(w, QPoint(0, 0)), patrol->size());
    QVERIFY2(pad->geometry().contains(button) && w->rect().contains(pad->geometry()),
             qPrintable(QString("button %1,%2 %3x%4 in a panel %5x%6")
                            .arg(button.x()).arg(button.y()).arg(button.width()).arg(button.height())
                            .arg(pad->width()).arg(pad->height())));

    // A route chosen shows over every cell of the camera, clear of the panel;
    // Stop sends the camera home and takes it away everywhere.
    auto* badge = w->findChild<GUI::Player::PatrolBadge*>();
    VideoWidget other(camera);
    other.resize(400, 300);
    other.show();
    auto* otherBadge = other.findChild<GUI::Player::PatrolBadge*>();
    QVERIFY(badge->text().isEmpty() && otherBadge->text().isEmpty());
    patrol->menu()->actions().first()->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(badge->text(), QStringLiteral("Patrol: Route 2"), 20000);
    QCOMPARE(otherBadge->text(), QStringLiteral("Patrol: Route 2"));
    QVERIFY(w->rect().contains(badge->geometry()) && !badge->geometry().intersects(pad->geometry()));
    QCOMPARE(lan.requests().last().queryValue("patrolId"), QStringLiteral("2"));
    otherBadge->stopButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(badge->text().isEmpty(), 20000);
    QVERIFY(otherBadge->text().isEmpty() && !badge->isVisible());
    QCOMPARE(lan.requests().last().queryValue("move"), QStringLiteral("home"));

    // A move of the user's own takes the camera off its route as well.
    patrol->menu()->actions().first()->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(badge->text(), QStringLiteral("Patrol: Route 2"), 20000);
    w->ptzMove(API::Camera::Left);
    QTRY_VERIFY_WITH_TIMEOUT(badge->text().isEmpty(), 20000);
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestVideoWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_videowidget.moc"
