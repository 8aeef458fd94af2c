// The roster and layouts stores against a scripted loopback service and
// temporary files.
#include "loopbackservice.h"
#include "messagecapture.h"
#include "readonlyfolder.h"
#include "../common/filefaults.h"
#include "../common/filemode.h"
#include "api/cloudapiclient.h"
#include "core/settings.h"
#include "core/storagepaths.h"
#include "core/usernotices.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "model/server.h"
#include "stores/layouts.h"
#include "stores/roster.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QtTest>
#include <optional>

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

template<typename Ptr>
int existing(const QList<Ptr>& items)
{
    return int(std::count_if(items.begin(), items.end(), [](const Ptr& item) { return item->exists(); }));
}

// The damaged contents every store file must survive; good is a whole file of
// its kind, partly one with some entries that cannot be stored again.
void addDamagedFileRows(const QByteArray& good, const QByteArray& partly)
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("partlyRead"); // entries read from a partly readable file, else -1
    QTest::addColumn<Failure>("failure");
    const QByteArray garbage("\x00\xff\x13garbage\x00{[", 12);
    // Valid JSON of its kind but for its size: refused unread all the same.
    const QByteArray huge = good.left(1) + QByteArray(50 * 1024 * 1024, ' ') + good.mid(1);
    QTest::newRow("truncated") << good.left(good.size() / 2) << false << -1 << Failure::None;
    QTest::newRow("empty") << QByteArray() << true << -1 << Failure::None;
    QTest::newRow("garbage") << garbage << false << -1 << Failure::None;
    QTest::newRow("partly") << partly << false << 1 << Failure::None;
    QTest::newRow("50 MB") << huge << false << -1 << Failure::None;
    QTest::newRow("good, read-only folder") << good << true << -1 << Failure::ReadOnlyFolder;
    QTest::newRow("garbage, read-only folder") << garbage << false << -1 << Failure::ReadOnlyFolder;
    QTest::newRow("good, full disk") << good << true << -1 << Failure::FullDisk;
    QTest::newRow("garbage, full disk") << garbage << false << -1 << Failure::FullDisk;
}

} // namespace

class TestStores : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void missingRosterFileAndLocalStart();
    void unreadableRosterFileIsKeptAndReported();
    void damagedRosterFileLosesNothing_data();
    void damagedRosterFileLosesNothing();
    void serviceRosterKeepsIdentityAndLocalServers();
    void busyReloadAndAnswerAfterLogout();
    void lostServiceShowsCloudOfflineUntilItAnswers();
    void localRosterIsStoredWholeOrNotAtAll();
    void firstCloudLoginPushesFileLayouts();
    void unreadableLayoutsAreKeptAndNeverPushed();
    void damagedLayoutsFileLosesNothing_data();
    void damagedLayoutsFileLosesNothing();
    void layoutsFollowTheServiceAndStoresDrop();
    void localStartLayoutsStayLocal();
    void unknownServersBecomePlaceholdersFilledByRoster();
    void addedLocalServerTakesOverLayoutPlaceholder();

private:
    void signIn();
    void signOut();

    LoopbackService m_service;
    QByteArray m_roster = "{}";
    QByteArray m_layouts = R"({"last_update":0,"layouts":[]})";
    int m_delay = 0;
    int m_rosterStatus = 200;
    QList<QByteArray> m_uploads;
    App::Roster* roster = nullptr;
    App::Layouts* layouts = nullptr;
};

void TestStores::initTestCase()
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_service.dir.filePath("cache")));
    QDir().mkpath(App::StoragePaths::cacheDir());
    // Others may pass through to a folder made read-only for them.
    QVERIFY(QFile::setPermissions(m_service.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                            | QFile::ExeGroup | QFile::ExeOther));
    m_service.server.setHandler([this](const HttpTestServer::Request& request) {
        Response response;
        if (request.path == "/public/sessions")
            response = Response::json(200, envelope(R"({"session_id":"S-1"})"));
        else if (request.path.startsWith("/public/sessions/"))
            response = Response::json(200, envelope("{}"));
        else if (request.path == "/public/roster")
            response = Response::json(m_rosterStatus, envelope(m_roster));
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
    m_rosterStatus = 200;
    m_service.server.setRefusing(false);
    m_uploads.clear();
    m_service.server.clearRequests();
    roster->setTimerIntervals(30000, 5000);
    layouts->setReloadInterval(30000);
    App::UserNotices::instance().takeAll();
}

void TestStores::missingRosterFileAndLocalStart()
{
    QFile::remove("local_roster.txt");
    roster->setTimerIntervals(30000, 50);
    QSignalSpy finished(roster, &App::Roster::rosterUpdatingFinished);
    QSignalSpy added(roster, &App::Roster::serverAdded);
    MessageCapture capture;
    roster->login();
    // Nothing stored is nothing to complain of; the first store creates the file.
    QVERIFY(!QFile::exists("local_roster.txt"));
    QVERIFY(!capture.contains("Error while parsing local roster from file:"));
    QVERIFY(App::UserNotices::instance().pending().isEmpty());
    QVERIFY(finished.wait(20000)); // a local start reports every refresh as finished
    QCOMPARE(added.count(), 0);
    QVERIFY(m_service.server.requests().isEmpty());
    roster->storeLocalRoster();
    QCOMPARE(readJson("local_roster.txt").array().size(), 0);
}

void TestStores::unreadableRosterFileIsKeptAndReported()
{
    for (const QByteArray& content : {QByteArray(R"([{"ip":"127.0.0.1","port":1,"na)"),
                                      QByteArray(R"({"ip":"127.0.0.1","port":1,"name":"Shop"})")}) {
        for (const QString& kept : keptAside("local_roster.txt"))
            QFile::remove(kept);
        writeBytes("local_roster.txt", content);
        QSignalSpy added(roster, &App::Roster::serverAdded);
        MessageCapture capture;
        roster->login();
        QCOMPARE(added.count(), 0);
        QVERIFY2(capture.contains("Error while parsing local roster from file:")
                     || capture.contains("Local roster file does not hold a list of servers: \"local_roster.txt\""),
                 qPrintable(capture.messages().join('\n')));
        QCOMPARE(App::UserNotices::instance().takeAll(),
                 QStringList{"The local servers could not be read from local_roster.txt. The file is left as it is."});
        QCOMPARE(readBytes("local_roster.txt"), content); // left for mending by hand

        // A server added now is stored, and the unreadable list is kept aside, not overwritten.
        auto server = std::make_shared<API::LocalServer>("Shop", "127.0.0.2", 1, "p");
        server->setExists(true);
        roster->add(server);
        roster->storeLocalRoster();
        const QStringList kept = keptAside("local_roster.txt");
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readBytes(kept.first()), content);
        QCOMPARE(App::UserNotices::instance().takeAll(),
                 QStringList{"The unreadable list of local servers was kept as " + QFileInfo(kept.first()).fileName() + "."});
        QCOMPARE(readJson("local_roster.txt").array().size(), 1);
        roster->logout();
    }
}

void TestStores::damagedRosterFileLosesNothing_data()
{
    const QByteArray server = R"({"ip":"127.0.0.1","port":1,"name":"Shop","password":"x"})";
    addDamagedFileRows("[" + server + "]", "[" + server + R"(,5,{"ip":"","port":2},{"ip":"h","port":70000},)" + server + "]");
}

void TestStores::damagedRosterFileLosesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readable);
    QFETCH(int, partlyRead);
    QFETCH(Failure, failure);
    for (const QString& kept : keptAside("local_roster.txt"))
        QFile::remove(kept);
    writeBytes("local_roster.txt", content);
    const QStringList earlier = plantEarlierCopies("local_roster.txt");

    std::optional<ReadOnlyFolder> readOnly;
    if (failure == Failure::ReadOnlyFolder)
        readOnly.emplace(m_service.dir.path());
    QElapsedTimer clock;
    clock.start();
    roster->login();
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    const int read = existing(roster->items());
    QCOMPARE(read, readable ? content.count("\"ip\"") : qMax(partlyRead, 0));
    const QStringList readNotices = App::UserNotices::instance().takeAll();
    QCOMPARE(readNotices.size(), readable ? 0 : 1);

    auto added = std::make_shared<API::LocalServer>("New", "127.0.0.9", 9, "p");
    added->setExists(true);
    roster->add(added);
    if (failure == Failure::FullDisk)
        storeOnFullDisk([this] { roster->storeLocalRoster(); });
    else
        roster->storeLocalRoster();
    readOnly.reset();
    const QStringList notices = App::UserNotices::instance().takeAll();
    verifyNothingLost("local_roster.txt", content, earlier);
    if (failure != Failure::None) {
        QVERIFY2(notices.contains("The local servers could not be saved to local_roster.txt."), qPrintable(notices.join('\n')));
    } else {
        QCOMPARE(readJson("local_roster.txt").array().size(), read + 1);
        QCOMPARE(notices.size(), readable ? 0 : 1); // where the unreadable one went
    }
    roster->logout();
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

void TestStores::lostServiceShowsCloudOfflineUntilItAnswers()
{
    signIn();
    m_roster = R"({"a":{"id":"srv-A","online":true,"cameras":[{"id":1,"online":true}]}})";
    roster->setTimerIntervals(600000, 5000, 100);
    QSignalSpy finished(roster, &App::Roster::rosterUpdatingFinished);
    QSignalSpy reachable(roster, &App::Roster::serviceReachableChanged);
    roster->login();
    QVERIFY(finished.wait(20000));
    const API::ServerPtr a = roster->item("srv-A");
    const API::CameraPtr camera = a->item(1);
    QVERIFY(camera->isOnline());

    // Connections refused: nothing of the cloud can be watched, so it is shown
    // offline, and the roster asks again soon, not at the next reload.
    QVERIFY(m_service.server.setRefusing(true));
    roster->loadRosterFromApi();
    QVERIFY(reachable.wait(20000));
    QCOMPARE(reachable.takeFirst().first().toBool(), false);
    QVERIFY(!roster->isServiceReachable());
    QVERIFY(!a->isOnline());
    QVERIFY(!camera->isOnline());
    QVERIFY(a->exists());

    // Back by itself, with the servers as the service sees them.
    QVERIFY(m_service.server.setRefusing(false));
    QVERIFY(reachable.wait(20000));
    QCOMPARE(reachable.takeFirst().first().toBool(), true);
    QVERIFY(camera->isOnline());

    // A gateway without its service is out of reach too; an answer of the
    // service itself is not a lost connection.
    m_rosterStatus = 503;
    roster->loadRosterFromApi();
    QVERIFY(reachable.wait(20000));
    QVERIFY(!roster->isServiceReachable());
    m_rosterStatus = 200;
    QVERIFY(reachable.wait(20000));
    QSignalSpy error(roster, &App::Roster::rosterUpdatingError);
    m_rosterStatus = 404;
    roster->loadRosterFromApi();
    QVERIFY(error.wait(20000));
    QVERIFY(roster->isServiceReachable());
    QVERIFY(camera->isOnline());

    // Signing out forgets it all.
    m_rosterStatus = 200;
    QVERIFY(m_service.server.setRefusing(true));
    roster->loadRosterFromApi();
    QVERIFY(reachable.wait(20000));
    roster->logout();
    QVERIFY(roster->isServiceReachable());
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

    // A write that fails half-way (a full disk) leaves the old file as it was,
    // and the user is told once, not at every change.
    const QByteArray before = readBytes("local_roster.txt");
    auto server = std::make_shared<API::LocalServer>(QString(4096, 'n'), "127.0.0.3", 1, "p");
    server->setExists(true);
    roster->add(server);
    MessageCapture capture;
    storeOnFullDisk([this] {
        roster->storeLocalRoster();
        roster->storeLocalRoster();
    });
    QVERIFY2(capture.contains("Could not write local roster to file") || capture.contains("Could not flush local roster file"),
             qPrintable(capture.messages().join('\n')));
    QCOMPARE(readBytes("local_roster.txt"), before);
    QCOMPARE(App::UserNotices::instance().takeAll(),
             QStringList{"The local servers could not be saved to local_roster.txt."});
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

void TestStores::unreadableLayoutsAreKeptAndNeverPushed()
{
    signIn();
    const QString fileName = App::StoragePaths::layoutsFilePath(App::StoragePaths::cacheDir(), "person@example.com");
    QSignalSpy finished(layouts, &App::Layouts::layoutsUpdatingFinished);
    QSignalSpy failed(layouts, &App::Layouts::layoutsUpdatingError);

    // A truncated, a garbled and an array-typed file at the first login of the
    // account: kept aside, nothing pushed, the service's copy untouched.
    const QByteArray stored = R"({"last_update":1,"layouts":[)" + layoutJson("L-mine", "Mine") + "]}";
    for (const QByteArray& content : {stored.left(stored.size() / 2), QByteArray("\x01\x02 garbage"),
                                      QByteArray("[" + layoutJson("L-mine", "Mine") + "]")}) {
        for (const QString& kept : keptAside(fileName))
            QFile::remove(kept);
        writeBytes(fileName, content);
        m_layouts = R"({"last_update":0,"layouts":[]})";
        MessageCapture capture;
        layouts->login();
        QVERIFY(finished.wait(20000));

        // An answer whose "response" is a list, not an object, is an error, not an empty list.
        m_layouts = "[]";
        const int answers = finished.count() + failed.count();
        layouts->loadLayoutsFromApi();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count() + failed.count(), answers + 1, 20000);
        QVERIFY2(m_uploads.isEmpty(), m_uploads.value(0).constData());
        QCOMPARE(failed.count(), 1);
        failed.clear();

        const QStringList kept = keptAside(fileName);
        QVERIFY2(kept.size() == 1, qPrintable(kept.join(' ') + '\n' + capture.messages().join('\n')));
        QCOMPARE(readBytes(kept.first()), content);
        QVERIFY(capture.contains("Skip pushing layouts to API: the local file could not be read"));
        const QStringList notices = App::UserNotices::instance().takeAll();
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices.first().startsWith("The saved layouts could not be read from " + fileName), qPrintable(notices.first()));
        layouts->logout();
    }

    // An answer with "last_update" but without a list of layouts leaves the file as it is.
    m_layouts = stored;
    layouts->login();
    QVERIFY(finished.wait(20000));
    const QByteArray good = readBytes(fileName);
    for (const QByteArray& answer : {QByteArray(R"({"last_update":9})"), QByteArray(R"({"last_update":9,"layouts":{"a":1}})")}) {
        m_layouts = answer;
        const int errors = failed.count();
        const int answers = finished.count() + failed.count();
        layouts->loadLayoutsFromApi();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count() + failed.count(), answers + 1, 20000);
        QCOMPARE(failed.count(), errors + 1);
        QCOMPARE(readBytes(fileName), good);
        QVERIFY(layouts->item("L-mine")->exists());
    }
    QVERIFY(m_uploads.isEmpty());
}

void TestStores::damagedLayoutsFileLosesNothing_data()
{
    addDamagedFileRows(R"({"last_update":1,"layouts":[)" + layoutJson("L-1", "One") + "]}",
                       R"({"last_update":1,"layouts":[)" + layoutJson("L-1", "One") + R"(,7,{"name":"no id"}]})");
}

void TestStores::damagedLayoutsFileLosesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readable);
    QFETCH(int, partlyRead);
    QFETCH(Failure, failure);
    App::Settings::instance().setValue("auth/email", "damaged@example.com");
    const QString fileName = App::StoragePaths::localLayoutsFilePath();
    for (const QString& kept : keptAside(fileName))
        QFile::remove(kept);
    writeBytes(fileName, content);
    const QStringList earlier = plantEarlierCopies(fileName);

    std::optional<ReadOnlyFolder> readOnly;
    if (failure == Failure::ReadOnlyFolder)
        readOnly.emplace(App::StoragePaths::cacheDir());
    QElapsedTimer clock;
    clock.start();
    layouts->login();
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    const int read = existing(layouts->items());
    QCOMPARE(read, readable ? content.count("\"id\"") : qMax(partlyRead, 0));
    QCOMPARE(App::UserNotices::instance().takeAll().size(), readable ? 0 : 1);

    layouts->add(std::make_shared<API::Layout>(QJsonDocument::fromJson(layoutJson("L-new", "New")).object(),
                                               API::ServerLookup()));
    layouts->item("L-new")->setExists(true);
    if (failure == Failure::FullDisk)
        storeOnFullDisk([this] { layouts->storeLayoutsToFile(); });
    else
        layouts->storeLayoutsToFile();
    readOnly.reset();
    const QStringList notices = App::UserNotices::instance().takeAll();
    verifyNothingLost(fileName, content, earlier);
    if (failure != Failure::None)
        QVERIFY2(notices.contains("The layouts could not be saved to " + fileName + "."), qPrintable(notices.join('\n')));
    else
        QCOMPARE(readJson(fileName).object().value("layouts").toArray().size(), read + 1);
    layouts->logout();
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

    // A fraction or a time beyond 64 bits is an update, not the first login of the
    // account: taken, and nothing pushed over the service's copy.
    for (const QByteArray& stamp : {QByteArray("0.4"), QByteArray("1e300")}) {
        m_layouts = R"({"last_update":)" + stamp + R"(,"layouts":[)" + layoutJson("L-1", QString::fromLatin1(stamp)) + "]}";
        layouts->loadLayoutsFromApi();
        QVERIFY(finished.wait(20000));
        QCOMPARE(one->name(), QString::fromLatin1(stamp));
    }
    QVERIFY(m_uploads.isEmpty());

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
    QSignalSpy finished(layouts, &App::Layouts::layoutsUpdatingFinished);
    layouts->login();
    QVERIFY(layouts->item("L-local"));
    QCOMPARE(finished.count(), 1); // the file is all there is: the list is complete
    layouts->store();
    QVERIFY(capture.contains("Trying to store layouts to API but: is layouts are not log in? false is local auth? true"));
    QTest::qWait(100);
    for (const auto& request : m_service.server.requests())
        QVERIFY(request.path != "/layouts");
    QCOMPARE(readJson(fileName).object().value("layouts").toArray().size(), 1);

    // A full disk: the old file stays, and the user is told once until a save works again.
    const QByteArray before = readBytes(fileName);
    storeOnFullDisk([this] {
        layouts->storeLayoutsToFile();
        layouts->storeLayoutsToFile();
    });
    QCOMPARE(readBytes(fileName), before);
    QCOMPARE(App::UserNotices::instance().takeAll(), QStringList{"The layouts could not be saved to " + fileName + "."});
    layouts->storeLayoutsToFile();
    storeOnFullDisk([this] { layouts->storeLayoutsToFile(); });
    QCOMPARE(App::UserNotices::instance().takeAll().size(), 1);
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

void TestStores::addedLocalServerTakesOverLayoutPlaceholder()
{
    // A layout (from the service, made on another computer) names a local
    // server before the user adds it here.
    HttpTestServer lan;
    lan.setHandler([](const HttpTestServer::Request&) {
        return Response::json(200, R"([{"id":7,"name":"Till","online":true,"streams":{"0":true}}])");
    });
    const QString serverId = API::LocalServer::idFor("127.0.0.1", lan.port());
    QFile::remove("local_roster.txt");
    App::Settings::instance().setValue("auth/email", "shop@example.com");
    const QJsonObject cell{{"server", serverId}, {"camera", 7}, {"row", 0}, {"column", 0}};
    const QJsonObject layout{{"id", "L-shop"}, {"rows", 1}, {"columns", 1}, {"cameras", QJsonArray{cell}}};
    writeBytes(App::StoragePaths::localLayoutsFilePath(),
               QJsonDocument(QJsonObject{{"last_update", 1}, {"layouts", QJsonArray{layout}}}).toJson());
    roster->login();
    layouts->login();
    const API::LayoutPtr shop = layouts->item("L-shop");
    QVERIFY(shop && !roster->item(serverId)->exists());

    QSignalSpy added(roster, &App::Roster::serverAdded);
    auto server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", lan.port(), "pw");
    server->setExists(true);
    roster->add(server);
    roster->storeLocalRoster();

    QCOMPARE(roster->item(serverId), API::ServerPtr(server));
    QCOMPARE(added.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!lan.requests().isEmpty(), 20000); // it polls
    const API::CameraPtr camera = shop->cell(API::LayoutCellPoint(0, 0)).camera;
    QVERIFY(camera && camera->server() == server.get());
    QTRY_VERIFY_WITH_TIMEOUT(camera->exists(), 20000);
    QCOMPARE(camera->name(), QStringLiteral("Till"));
    QCOMPARE(server->item(7), camera);
    const QJsonArray saved = readJson("local_roster.txt").array();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().toObject().value("port").toInt(), int(lan.port()));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestStores test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stores.moc"
