#include "loopbackservice.h"
#include "model/camera.h"
#include "model/localserver.h"

#include <QJsonArray>
#include <QtTest>

using namespace OrvantaClient::API;
using Response = HttpTestServer::Response;

namespace {

QJsonObject cameraJson(int id, bool online = true)
{
    return {{"id", id}, {"name", QString("Cam %1").arg(id)}, {"online", online}};
}

QJsonObject serverJson(bool online, const QJsonArray& cameras)
{
    return {{"id", "srv-1"}, {"name", "Office"}, {"online", online}, {"cameras", cameras},
            {"info", QJsonObject{{"plugins", QJsonObject{{"ptz_patrol", QJsonObject()}}}}}};
}

} // namespace

class TestServer : public QObject
{
    Q_OBJECT
private slots:
    void refreshKeepsCameraObjects();
    void serverStateFirstThenEachCamera();
    void localServerIdentityAndJson();
    void streamInfoExchange();
    void streamInfoFailureAndRetry();

private:
    LoopbackService m_service;
};

void TestServer::refreshKeepsCameraObjects()
{
    Server server(serverJson(true, {cameraJson(1), cameraJson(2)}));
    QVERIFY(server.exists());
    QVERIFY(server.ptzPatrolSupported());
    const CameraPtr one = server.item(1);
    const CameraPtr two = server.item(2);
    QSignalSpy added(&server, &Server::cameraAdded);
    QSignalSpy removed(&server, &Server::cameraRemoved);
    QSignalSpy twoRemoved(two.get(), &Camera::cameraRemoved);

    server.fromJson(serverJson(true, {cameraJson(2), cameraJson(1)})); // another order: nothing happens
    QCOMPARE(added.count() + removed.count(), 0);

    server.fromJson(serverJson(true, {cameraJson(1)}));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(twoRemoved.count(), 1);
    QCOMPARE(removed.first().first().value<CameraPtr>(), two);

    server.fromJson(serverJson(true, {cameraJson(1), cameraJson(2)}));
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.first().first().value<CameraPtr>(), two); // same object back
    QCOMPARE(server.item(1), one);
    QVERIFY(two->exists());
}

void TestServer::serverStateFirstThenEachCamera()
{
    Server server(serverJson(true, {cameraJson(1), cameraJson(2)}));
    QSignalSpy state(&server, &Server::serverStateChanged);
    server.fromJson(serverJson(false, {cameraJson(1, true), cameraJson(2, false)}));
    QCOMPARE(state.count(), 1);
    QCOMPARE(state.first().first().toBool(), false);
    // The camera's own "online" is applied after the server's state...
    QVERIFY(!(server.item(1)->flags() & Camera::Offline));
    QVERIFY(server.item(2)->flags() & Camera::Offline);
    // ...but a camera of an offline server is not online.
    QVERIFY(!server.item(1)->isOnline());

    server.setOnline(true);
    QVERIFY(server.item(1)->isOnline());
    QVERIFY(server.item(2)->isOnline()); // coming online marks every camera online
}

void TestServer::localServerIdentityAndJson()
{
    LocalServer local(QJsonObject{{"ip", "10.0.0.7"}, {"port", 8080}, {"name", "Shop"}, {"password", "p w"}});
    QCOMPARE(local.id(), QStringLiteral("10.0.0.7:8080"));
    QVERIFY(local.isLocal());
    QVERIFY(local.isOnline());
    QVERIFY(!local.exists());
    const QJsonObject json = local.toJson();
    QCOMPARE(json.keys(), (QStringList{"ip", "name", "password", "port"}));
    QCOMPARE(json.value("port").toInt(), 8080);
    QCOMPARE(json.value("password").toString(), QStringLiteral("p w"));

    LocalServer edited("Shop 2", "10.0.0.7", 8080, "new");
    local.update(edited);
    QCOMPARE(local.name(), QStringLiteral("Shop 2"));
    QCOMPARE(local.password(), QStringLiteral("new"));
}

void TestServer::streamInfoExchange()
{
    HttpTestServer lan;
    Response answer = Response::json(200, R"([{"id":3,"name":"Door","online":true,"streams":{"0":true}}])");
    answer.delayMs = 200;
    lan.enqueue(answer);
    auto local = std::make_shared<LocalServer>("Shop", "127.0.0.1", lan.port(), "a b&c");
    QSignalSpy started(local.get(), &LocalServer::localServerUpdatingStarted);
    QSignalSpy finished(local.get(), &LocalServer::localServerUpdatingFinished);
    QSignalSpy added(local.get(), &Server::cameraAdded);

    local->setExists(true); // becoming existing starts the first request
    local->update();        // one already in flight: ignored
    QCOMPARE(started.count(), 1);
    QVERIFY(finished.wait(20000));
    QCOMPARE(lan.requests().size(), 1);
    const auto& request = lan.requests().first();
    QCOMPARE(request.path, QByteArray("/streams/info"));
    QCOMPARE(request.queryKeys(), (QStringList{"server", "sessionId"}));
    QCOMPARE(request.queryValue("server"), QStringLiteral("1"));
    QVERIFY2(request.target.contains("sessionId=a%20b%26c"), request.target.constData());
    QCOMPARE(request.header("Accept"), QByteArray("application/json"));

    QCOMPARE(added.count(), 1);
    const CameraPtr door = local->item(3);
    QVERIFY(door->isOnline());
    QVERIFY(door->isPaid()); // local cameras are fully entitled
    QVERIFY(door->hasPtzRight());
}

void TestServer::streamInfoFailureAndRetry()
{
    HttpTestServer lan;
    lan.enqueue(Response::json(200, R"([{"id":1,"online":true}])"));
    lan.enqueue(Response::json(401, "{}"));
    lan.enqueue(Response::json(200, R"({"not":"an array"})"));
    LocalServer local("Shop", "127.0.0.1", lan.port(), "pw");
    QSignalSpy finished(&local, &LocalServer::localServerUpdatingFinished);
    QSignalSpy failed(&local, &LocalServer::localServerUpdatingError);
    local.update();
    QVERIFY(finished.wait(20000));
    local.update();
    QVERIFY(failed.wait(20000));
    QVERIFY(!local.isOnline());
    QVERIFY(!local.isUpdating());
    QVERIFY(!local.item(1)->isOnline()); // held cameras stay, offline
    QVERIFY(local.item(1)->exists());

    local.update(); // a later update asks again
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 2, 20000);
    QVERIFY(local.item(1)->exists()); // an object answer is no list: the cameras stay
    QCOMPARE(lan.requests().size(), 3);
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_server.moc"
