#include "loopbackservice.h"
#include "core/settings.h"
#include "core/storagepaths.h"
#include "model/camera.h"
#include "model/localserver.h"

#include <QDir>
#include <QJsonArray>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::API;
using Response = HttpTestServer::Response;

namespace {

QJsonObject paidCamera(int id, const QJsonArray& rights = {"owner", "live", "archive", "ptz"})
{
    return {{"id", id},
            {"name", "Gate"},
            {"online", true},
            {"rights", rights},
            {"rotation", 90},
            {"services", QJsonObject{{"enabled", QJsonObject{{"active", true}}}}}};
}

ServerPtr cloudServer(const QJsonArray& cameras)
{
    return std::make_shared<Server>(QJsonObject{{"id", "srv 1"}, {"online", true}, {"cameras", cameras}});
}

} // namespace

class TestCamera : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void paidStateAndRights_data();
    void paidStateAndRights();
    void statusTexts();
    void setFlagsSignalsOnlyOnChange();
    void cloudStreamUrls();
    void localStreamUrlsAndQuality_data();
    void localStreamUrlsAndQuality();
    void localRotationComesFromSettings();
    void rotationKeepsPercentInServerId();
    void fileNameAndPreviewCacheName();
    void archiveRequestsNeedTheRight();
    void ptzNeedsTheRightAndReportsDone();

private:
    LoopbackService m_service;
};

void TestCamera::initTestCase()
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_service.dir.filePath("cache")));
}

void TestCamera::paidStateAndRights_data()
{
    QTest::addColumn<QJsonObject>("json");
    QTest::addColumn<bool>("paid");
    QTest::addColumn<int>("rights");
    QJsonObject base = paidCamera(1);
    QTest::newRow("active") << base << true << 15;
    base["services"] = QJsonObject{{"enabled", QJsonObject{{"active", ""}}}};
    QTest::newRow("empty active text counts as paid") << base << true << 15;
    base["services"] = QJsonObject{{"enabled", QJsonObject{{"active", "expired"}}}};
    QTest::newRow("a text there is not paid") << base << false << 15;
    base["services"] = QJsonObject();
    QTest::newRow("no services") << base << false << 15;
    base["rights"] = QJsonArray{"live", "Live", "PTZ", "archive", 5};
    QTest::newRow("rights are case-sensitive") << base << false << (Camera::LiveRight | Camera::ArchiveRight);
}

void TestCamera::paidStateAndRights()
{
    QFETCH(QJsonObject, json);
    QFETCH(bool, paid);
    QFETCH(int, rights);
    const ServerPtr server = cloudServer({json});
    const CameraPtr camera = server->item(1);
    QCOMPARE(camera->isPaid(), paid);
    QCOMPARE(camera->rights(), rights);
    QCOMPARE(camera->isAvailable(), paid);
    QCOMPARE(camera->rotation(), 90);
}

void TestCamera::statusTexts()
{
    QJsonObject json = paidCamera(1);
    json["online"] = false;
    json["services"] = QJsonObject();
    const ServerPtr server = cloudServer({json});
    const CameraPtr camera = server->item(1);
    QCOMPARE(camera->statusText(), QStringLiteral("Offline, plan not paid for"));
    QCOMPARE(camera->statusMessage(), QStringLiteral("Camera &quot;Gate&quot; is offline, and its pricing plan is not paid for."
                                                     "<br><a style=\"color: white\" href=\"#\">Set up pricing plan</a>"));
    camera->setOnline(true);
    QCOMPARE(camera->statusText(), QStringLiteral("Plan not paid for"));
    // With the link the message is rich text: a name is shown as typed, not as markup.
    json["name"] = "<b>Gate</b>";
    json["online"] = true;
    camera->fromJson(json);
    QVERIFY(camera->statusMessage().startsWith(
        "The pricing plan of camera &quot;&lt;b&gt;Gate&lt;/b&gt;&quot; is not paid for, so its video cannot be shown.<br>"));
    server->fromJson(QJsonObject{{"id", "srv 1"}, {"online", true}, {"cameras", QJsonArray{paidCamera(1)}}});
    QCOMPARE(camera->statusText(), QString());
    QCOMPARE(camera->statusMessage(), QString());
    server->setOnline(false);
    QCOMPARE(camera->statusText(), QStringLiteral("Offline"));
    QCOMPARE(camera->statusMessage(),
             QStringLiteral("Camera \"Gate\" is offline. Its video comes back by itself when the camera is online again."));
}

void TestCamera::setFlagsSignalsOnlyOnChange()
{
    const ServerPtr server = cloudServer({paidCamera(1)});
    const CameraPtr camera = server->item(1);
    QSignalSpy flags(camera.get(), &Camera::flagsChanged);
    QSignalSpy rights(camera.get(), &Camera::rightsChanged);
    camera->setFlags(camera->flags());
    camera->fromJson(paidCamera(1));
    QCOMPARE(flags.count(), 0);
    QCOMPARE(rights.count(), 0);
    camera->setOnline(false);
    QCOMPARE(flags.count(), 1);
    camera->fromJson(paidCamera(1, {"live"}));
    QCOMPARE(rights.count(), 1);
}

void TestCamera::cloudStreamUrls()
{
    const ServerPtr server = cloudServer({paidCamera(4)});
    const CameraPtr camera = server->item(4);
    const QString host = m_service.server.url().authority();
    App::Settings::instance().setValue("proxy/useProxy", false);
    // The loopback service is plain http; the built-in service is https.
    const QString tail = "/flv/live?server=srv%201&camera=4&q=1&sessionId=&vcodec=h264&vcodec=flv&vcodec=mpeg4&acodec=mp3";
    QCOMPARE(camera->liveUrl(1), "http://" + host + tail);

    QCOMPARE(camera->archiveUrl(QDateTime::currentDateTime(), 2, 4), QString()); // no records that day
    QVERIFY(camera->exportUrl(QDateTime::fromMSecsSinceEpoch(1000), QDateTime::fromMSecsSinceEpoch(61000))
                .endsWith("&q=2&sessionId=&vcodec=h264&vcodec=flv&vcodec=mpeg4&acodec=mp3"
                          "&startTime=1000&endTime=61000&uploadRate=500"));
}

void TestCamera::localStreamUrlsAndQuality_data()
{
    QTest::addColumn<QJsonObject>("streams");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("sent");
    const QJsonObject none{{"0", false}, {"1", false}};
    const QJsonObject middle{{"0", false}, {"1", true}};
    const QJsonObject all{{"0", true}, {"1", true}, {"2", true}};
    QTest::newRow("0 without low stream: middle") << middle << 0 << 1;
    QTest::newRow("0 without low and middle: high") << none << 0 << 2;
    QTest::newRow("0 available") << all << 0 << 0;
    QTest::newRow("1 without middle: high") << none << 1 << 2;
    QTest::newRow("2 kept") << none << 2 << 2;
}

void TestCamera::localStreamUrlsAndQuality()
{
    QFETCH(QJsonObject, streams);
    QFETCH(int, requested);
    QFETCH(int, sent);
    LocalServer local("Shop", "192.168.1.5", 8080, "pa&ss");
    local.updateCameras(QJsonArray{QJsonObject{{"id", 2}, {"online", true}, {"streams", streams}}});
    const QString url = local.item(2)->liveUrl(requested);
    QCOMPARE(url, QString("http://192.168.1.5:8080/flv/live?server=1&camera=2&q=%1&sessionId=pa%26ss"
                          "&vcodec=h264&vcodec=flv&vcodec=mpeg4&acodec=mp3")
                      .arg(sent));
}

void TestCamera::localRotationComesFromSettings()
{
    App::Settings::instance().setValue("cameras/10.0.0.1:80/3/rotation", 270);
    LocalServer local("Shop", "10.0.0.1", 80, "pw");
    QJsonObject json = paidCamera(3);
    json["services"] = QJsonObject();
    local.updateCameras(QJsonArray{json});
    const CameraPtr camera = local.item(3);
    QCOMPARE(camera->rotation(), 270); // the JSON's 90 is ignored
    QVERIFY(camera->isPaid());

    camera->setRotation(180);
    camera->saveRotation();
    QCOMPARE(App::Settings::instance().value("cameras/10.0.0.1:80/3/rotation").toInt(), 180);
}

void TestCamera::rotationKeepsPercentInServerId()
{
    // A "%1" in the server id must not take the camera id's place.
    LocalServer local("Shop", "h%1", 80, "pw");
    local.updateCameras(QJsonArray{QJsonObject{{"id", 3}}});
    local.item(3)->setRotation(90);
    local.item(3)->saveRotation();
    QCOMPARE(App::Settings::instance().value("cameras/h%1:80/3/rotation").toInt(), 90);

    m_service.server.clearRequests();
    m_service.server.enqueue(Response::json(200, R"({"success":true})"));
    Server cloud(QJsonObject{{"id", "s%1"}, {"cameras", QJsonArray{paidCamera(4)}}});
    cloud.item(4)->saveRotation();
    QTRY_COMPARE_WITH_TIMEOUT(m_service.server.requests().size(), 1, 20000);
    QCOMPARE(m_service.server.requests().at(0).path, QByteArray("/public/servers/s%251/cameras/4/rotation"));
}

void TestCamera::fileNameAndPreviewCacheName()
{
    Server server(QJsonObject{{"id", "../../etc/x"}, {"cameras", QJsonArray{QJsonObject{{"id", 1}, {"name", "a/b:c*d"}}}}});
    const CameraPtr camera = server.item(1);
    QCOMPARE(camera->fileName(), QStringLiteral("a_b_c_d"));

    const QString cacheDir = App::StoragePaths::cacheDir();
    const QFileInfo cache(camera->cacheFileName());
    QCOMPARE(cache.absolutePath(), QDir(cacheDir).absolutePath());
    QVERIFY(!cache.fileName().contains('/'));
    QCOMPARE(PreviewHandler::safeFileName("srv-1_5"), QStringLiteral("srv-1_5"));
    QCOMPARE(PreviewHandler::safeFileName("10.0.0.2:8080_1"), QStringLiteral("10.0.0.2:8080_1"));
    QVERIFY(PreviewHandler::safeFileName("a/b_1") != PreviewHandler::safeFileName("a_b_1"));
    QVERIFY(!PreviewHandler::safeFileName("..").startsWith('.'));
}

void TestCamera::archiveRequestsNeedTheRight()
{
    const ServerPtr server = cloudServer({paidCamera(1, {"live"})});
    const CameraPtr camera = server->item(1);
    QSignalSpy records(camera.get(), &Camera::recordsChanged);
    QSignalSpy calendar(camera.get(), &Camera::calendarChanged);
    m_service.server.clearRequests();
    camera->requestTimeline(QDate(2026, 3, 1));
    camera->requestCalendar(QDate(2026, 3, 1), QDate(2026, 3, 31));
    QCOMPARE(records.count(), 1); // at once, empty
    QCOMPARE(calendar.count(), 0);
    QVERIFY(!camera->hasRecords(QDate(2026, 3, 1)));

    camera->fromJson(paidCamera(1));
    const QDate day(2026, 3, 2);
    const qint64 start = QDateTime(day, QTime(8, 0)).toMSecsSinceEpoch();
    m_service.server.enqueue(Response::json(200, QJsonDocument(QJsonArray{QJsonObject{
                                                                   {"startTime", double(start)}, {"duration", 60000}}})
                                                     .toJson()));
    camera->requestTimeline(day);
    QVERIFY(records.wait(20000));
    QCOMPARE(records.last().first().toDate(), day);
    QVERIFY(camera->hasRecords(day));
    const auto& request = m_service.server.requests().last();
    QCOMPARE(request.path, QByteArray("/archive/list"));
    QCOMPARE(request.queryValue("startTime").toLongLong(), QDateTime(day, QTime(0, 0)).toSecsSinceEpoch());
    QCOMPARE(request.queryValue("endTime").toLongLong(), QDateTime(day, QTime(23, 59, 59)).toSecsSinceEpoch());
    QVERIFY(camera->archiveUrl(QDateTime(day, QTime(8, 0, 10)), 1, 2)
                .endsWith(QString("&startTime=%1&endTime=%2&speed=2")
                              .arg(QDateTime(day, QTime(8, 0, 10)).toSecsSinceEpoch())
                              .arg(QDateTime(day, QTime(8, 1, 1)).toSecsSinceEpoch())));
}

void TestCamera::ptzNeedsTheRightAndReportsDone()
{
    HttpTestServer lan;
    lan.enqueue(Response::json(500, "{}"));
    lan.enqueue(Response::json(200, R"({"success":true,"response":"{\"1\":true,\"2\":false,\"x\":true,\"10\":true}"})"));
    const ServerPtr cloud = cloudServer({paidCamera(1, {"live"})});
    m_service.server.clearRequests();
    cloud->item(1)->ptzMove(Camera::Up);
    QTest::qWait(100);
    QVERIFY(m_service.server.requests().isEmpty());

    LocalServer local("Shop", "127.0.0.1", lan.port(), "pw");
    local.updateCameras(QJsonArray{QJsonObject{{"id", 5}, {"online", true}}});
    const CameraPtr camera = local.item(5);
    QSignalSpy done(camera.get(), &Camera::ptzDone);
    QSignalSpy patrols(camera.get(), &Camera::ptzPatrolsChanged);
    camera->ptzMove(Camera::Left);
    QVERIFY(done.wait(20000)); // a failure ends in ptzDone too
    camera->requestPtzPatrols();
    QVERIFY(patrols.wait(20000));
    QCOMPARE(camera->ptzPatrols(), (QList<int>{1, 10}));
    QCOMPARE(lan.requests().at(0).queryValue("move"), QStringLiteral("left"));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestCamera test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_camera.moc"
