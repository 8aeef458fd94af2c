// The roster and layouts stores against a scripted loopback service and
// temporary files.
#include "loopbackservice.h"
#include "messagecapture.h"
#include "../common/filemode.h"
#include "api/cloudapiclient.h"
#include "core/settings.h"
#include "core/storagepaths.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "model/server.h"
#include "stores/layouts.h"
#include "stores/roster.h"

#include <QJsonArray>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace OrvantaClient;
using Response = HttpTestServer::Response;

namespace {

QByteArray layoutJson(const QString& id, const QString& name)
{
    return QJsonDocument(QJsonObject{{"id", id}, {"name", name}, {"rows", 1}, {"columns", 1}, {"cameras", QJsonArray{}}})
        .toJson(QJsonDocument::Compact);
}

QByteArray envelope(const QByteArray& response)
{
    return R"({"success":true,"response":)" + response + "}";
}

QJsonDocument readJson(const QString& fileName)
{
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll());
}

} // namespace

class TestStores : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void missingRosterFileAndLocalStart();
    void serviceRosterKeepsIdentityAndLocalServers();
    void busyReloadAndAnswerAfterLogout();
    void localRosterIsStoredWholeOrNotAtAll();
    void firstCloudLoginPushesFileLayouts();
    void layoutsFollowTheServiceAndStoresDrop();
    void localStartLayoutsStayLocal();
    void unknownServersBecomePlaceholdersFilledByRoster();

private:
    void signIn();
    void signOut();

    LoopbackService m_service;
    QByteArray m_roster = "{}";
    QByteArray m_layouts = R"({"last_update":0,"layouts":[]})";
    int m_delay = 0;
    QList<QByteArray> m_uploads;
    App::Roster* roster = nullptr;
    App::Layouts* layouts = nullptr;
};

void TestStores::initTestCase()
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_service.dir.filePath("cache")));
    QDir().mkpath(App::StoragePaths::cacheDir());
    m_service.server.setHandler([this](const HttpTestServer::Request& request) {
        Response response;
        if (request.path == "/public/sessions")
            response = Response::json(200, envelope(R"({"session_id":"S-1"})"));
        else if (request.path.startsWith("/public/sessions/"))
            response = Response::json(200, envelope("{}"));
        else if (request.path == "/public/roster")
            response = Response::json(200, envelope(m_roster));
        else if (request.path == "/layouts" && request.method == "GET")
            response = Response::json(200, envelope(m_layouts));
        else if (request.path == "/layouts") {
            m_uploads << request.body;
            response = Response::json(200, envelope("{}"));
        } else
            response = Response::json(404, "{}");
        response.delayMs = m_delay;
        return response;
    });
    roster = App::Roster::instance();
    layouts = App::Layouts::instance();
}

void TestStores::signIn()
{
    API::CloudAPIClient client;
    QSignalSpy success(&client, &API::CloudAPIClient::loginSuccess);
    client.tryLogin("Person@Example.com", "pw");
    QVERIFY(success.wait(20000));
    App::Settings::instance().setValue("auth/email", "Person@Example.com");
}

void TestStores::signOut()
{
    API::CloudAPIClient().logout();
}

void TestStores::cleanup()
{
    if (roster->isLoggedIn())
        roster->logout();
    if (layouts->isLoggedIn())
        layouts->logout();
    signOut();
    m_delay = 0;
    m_uploads.clear();
    m_service.server.clearRequests();
    roster->setTimerIntervals(30000, 5000);
    layouts->setReloadInterval(30000);
}

void TestStores::missingRosterFileAndLocalStart()
{
    QFile::remove("local_roster.txt");
    roster->setTimerIntervals(30000, 50);
    QSignalSpy finished(roster, &App::Roster::rosterUpdatingFinished);
    QSignalSpy added(roster, &App::Roster::serverAdded);
    MessageCapture capture;
    roster->login();
    QVERIFY(QFile::exists("local_roster.txt"));
    QCOMPARE(capture.messages().filter("Error while parsing local roster from file:").size(), 1);
    QVERIFY(finished.wait(20000)); // a local start reports every refresh as finished
    QCOMPARE(added.count(), 0);
    QVERIFY(m_service.server.requests().isEmpty());
}

void TestStores::serviceRosterKeepsIdentityAndLocalServers()
{
    {
        QFile file("local_roster.txt");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(R"([{"ip":"127.0.0.1","port":1,"name":"Shop","password":"x"}])");
    }
    signIn();
    m_roster = R"({"a":{"id":"srv-A","online":true},"b":{"id":"srv-B","online":true}})";
    QSignalSpy added(roster, &App::Roster::serverAdded);
    QSignalSpy removed(roster, &App::Roster::serverRemoved);
    QSignalSpy finished(roster, &App::Roster::rosterUpdatingFinished);
    roster->login();
    QVERIFY(finished.wait(20000));
    QCOMPARE(added.count(), 3);
    const API::ServerPtr b = roster->item("srv-B");
    QVERIFY(roster->item("127.0.0.1:1")->isLocal());

    m_roster = R"({"a":{"id":"srv-A","online":true}})";
    roster->loadRosterFromApi();
    QVERIFY(finished.wait(20000));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().value<API::ServerPtr>(), b);
    QVERIFY(roster->item("127.0.0.1:1")->exists()); // never removed by the service

    m_roster = R"({"a":{"id":"srv-A","online":true},"b":{"id":"srv-B","name":"Back","online":true}})";
    roster->loadRosterFromApi();
    QVERIFY(finished.wait(20000));
    QCOMPARE(added.count(), 4);
    QCOMPARE(added.last().first().value<API::ServerPtr>(), b);
    QCOMPARE(b->name(), QStringLiteral("Back"));
}

void TestStores::busyReloadAndAnswerAfterLogout()
{
    signIn();
    m_roster = R"({"a":{"id":"srv-late","online":true}})";
    m_delay = 300;
    MessageCapture capture;
    roster->login();
    roster->loadRosterFromApi();
    QVERIFY(capture.contains("Trying to load local roster from API but: is roster already loading? true "
                             "is roster are not log in? false is local auth? false"));
    roster->logout();
    QTRY_VERIFY_WITH_TIMEOUT(capture.contains("Servers list received but Roster did logout"), 20000);
    QVERIFY(!roster->item("srv-late"));
}

void TestStores::localRosterIsStoredWholeOrNotAtAll()
{
    QFile::remove("local_roster.txt");
    roster->login();
    for (const char* host : {"127.0.0.1", "127.0.0.2"}) {
        auto server = std::make_shared<API::LocalServer>("Shop", host, 1, "p");
        server->setExists(true);
        roster->add(server);
    }
    roster->remove(QStringLiteral("127.0.0.2:1"));
    roster->storeLocalRoster();
    const QJsonArray stored = readJson("local_roster.txt").array();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored.first().toObject().value("ip").toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(fileMode("local_roster.txt"), 0600); // it holds passwords

    // A write that fails half-way (a full disk) leaves the old file as it was.
    QFile file("local_roster.txt");
    file.open(QIODevice::ReadOnly);
    const QByteArray before = file.readAll();
    file.close();
    auto server = std::make_shared<API::LocalServer>(QString(4096, 'n'), "127.0.0.3", 1, "p");
    server->setExists(true);
    roster->add(server);
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tiny = old;
    tiny.rlim_cur = 64;
    std::signal(SIGXFSZ, SIG_IGN);
    MessageCapture capture;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    roster->storeLocalRoster();
    setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY2(capture.contains("Could not write local roster to file") || capture.contains("Could not flush local roster file"),
             qPrintable(capture.messages().join('\n')));
    file.open(QIODevice::ReadOnly);
    QCOMPARE(file.readAll(), before);
}

void TestStores::firstCloudLoginPushesFileLayouts()
{
    signIn();
    const QString fileName = App::StoragePaths::layoutsFilePath(App::StoragePaths::cacheDir(), "person@example.com");
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(R"({"last_update":1,"layouts":[)" + layoutJson("L-file", "From file") + "]}");
    }
    m_layouts = R"({"last_update":0,"layouts":[]})";
    QSignalSpy added(layouts, &App::Layouts::layoutAdded);
    QSignalSpy finished(layouts, &App::Layouts::layoutsUpdatingFinished);
    layouts->login();
    QCOMPARE(layouts->fileName(), fileName);
    QVERIFY(finished.wait(20000));
    QCOMPARE(added.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_uploads.size(), 1, 20000);
    const QJsonArray uploaded = QJsonDocument::fromJson(m_uploads.first()).array();
    QCOMPARE(uploaded.size(), 1);
    QCOMPARE(uploaded.first().toObject().value("id").toString(), QStringLiteral("L-file"));
}

void TestStores::layoutsFollowTheServiceAndStoresDrop()
{
    signIn();
    m_layouts = R"({"last_update":5,"layouts":[)" + layoutJson("L-1", "One") + "," + layoutJson("L-2", "Two") + "]}";
    QSignalSpy removed(layouts, &App::Layouts::layoutRemoved);
    QSignalSpy finished(layouts, &App::Layouts::layoutsUpdatingFinished);
    layouts->login();
    QVERIFY(finished.wait(20000));
    const API::LayoutPtr one = layouts->item("L-1");
    QVERIFY(one && one->exists());

    // Deleted on another client: gone at the next reload, and from the file.
    m_layouts = R"({"last_update":6,"layouts":[)" + layoutJson("L-1", "One again") + "]}";
    layouts->loadLayoutsFromApi();
    QVERIFY(finished.wait(20000));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(layouts->item("L-1"), one);
    QCOMPARE(one->name(), QStringLiteral("One again"));
    const QJsonObject file = readJson(layouts->fileName()).object();
    QCOMPARE(file.value("layouts").toArray().size(), 1);
    QVERIFY(qAbs(file.value("last_update").toDouble() - QDateTime::currentSecsSinceEpoch()) < 60);

    // Deleted here: left out of the upload and the file.
    layouts->remove(QStringLiteral("L-1"));
    layouts->store();
    QTRY_COMPARE_WITH_TIMEOUT(m_uploads.size(), 1, 20000);
    QCOMPARE(QJsonDocument::fromJson(m_uploads.first()).array().size(), 0);
    QCOMPARE(readJson(layouts->fileName()).object().value("layouts").toArray().size(), 0);

    m_delay = 300;
    MessageCapture capture;
    layouts->loadLayoutsFromApi();
    layouts->logout();
    QTRY_VERIFY_WITH_TIMEOUT(capture.contains("Layouts list received but Layouts did logout"), 20000);
}

void TestStores::localStartLayoutsStayLocal()
{
    App::Settings::instance().setValue("auth/email", "local@example.com");
    const QString fileName = App::StoragePaths::localLayoutsFilePath();
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(R"({"last_update":1,"layouts":[)" + layoutJson("L-local", "Here") + "]}");
    }
    MessageCapture capture;
    layouts->login();
    QVERIFY(layouts->item("L-local"));
    layouts->store();
    QVERIFY(capture.contains("Trying to store layouts to API but: is layouts are not log in? false is local auth? true"));
    QTest::qWait(100);
    for (const auto& request : m_service.server.requests())
        QVERIFY(request.path != "/layouts");
    QCOMPARE(readJson(fileName).object().value("layouts").toArray().size(), 1);
}

void TestStores::unknownServersBecomePlaceholdersFilledByRoster()
{
    QSignalSpy serverAdded(roster, &App::Roster::serverAdded);
    // Layouts are read with the roster's lookup, so they can be read before the roster.
    const API::Layout layout(
        QJsonObject{{"id", "L1"}, {"rows", 1}, {"columns", 2},
                    {"cameras", QJsonArray{QJsonObject{{"server", "later"}, {"camera", 4}, {"row", 0}, {"column", 1}}}}},
        [this](const API::server_id_t& id) { return roster->serverOrPlaceholder(id); });
    const API::ServerPtr placeholder = roster->item("later");
    QVERIFY(placeholder);
    QVERIFY(!placeholder->exists());
    QCOMPARE(serverAdded.count(), 0);
    const API::CameraPtr camera = layout.cell(API::LayoutCellPoint(1, 0)).camera;
    QVERIFY(camera && !camera->exists());
    QCOMPARE(camera->layoutsCount(), 1);

    // The roster answer fills the same objects in.
    placeholder->fromJson(QJsonObject{{"id", "later"}, {"online", true},
                                      {"cameras", QJsonArray{QJsonObject{{"id", 4}, {"name", "Back"}, {"online", true}}}}});
    QVERIFY(camera->exists());
    QCOMPARE(camera->name(), QStringLiteral("Back"));
    QCOMPARE(layout.cell(API::LayoutCellPoint(1, 0)).camera, camera);
    QCOMPARE(roster->serverOrPlaceholder("later"), placeholder);
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestStores test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stores.moc"
