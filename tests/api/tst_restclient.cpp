#include "loopbackservice.h"
#include "messagecapture.h"
#include "api/restclient.h"
#include "api/streamerclient.h"

#include <QJsonObject>
#include <QtTest>

using namespace OrvantaClient::API;
using Response = HttpTestServer::Response;

class TestRestClient : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_service.server.clearRequests(); }
    void envelope_data();
    void envelope();
    void pathsAndMethods();
    void formBodyOrderAndEncoding();
    void errorTexts_data();
    void errorTexts();
    void streamerPaths();

private:
    LoopbackService m_service;
};

void TestRestClient::envelope_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QByteArray>("expected"); // the response object, or the error pair "code,status"
    QTest::addColumn<QString>("logged");
    QTest::newRow("success with response") << QByteArray(R"({"success":true,"response":{"a":1}})") << true
                                           << QByteArray(R"({"a":1})") << QString();
    QTest::newRow("success without response") << QByteArray(R"({"success":true})") << true << QByteArray("{}")
                                              << QString();
    QTest::newRow("success as a string counts as false")
        << QByteArray(R"({"success":"true","response":{}})") << false << QByteArray("0,500")
        << "HTTP Rest responce is not successful 0 \"\" \"Unknown error\"";
    QTest::newRow("refusal with a code")
        << QByteArray(R"({"success":false,"response":{"code":10001,"code_alias":"bad_credentials"}})") << false
        << QByteArray("10001,500")
        << "HTTP Rest responce is not successful 10001 \"bad_credentials\" \"Could not sign in. Please check "
           "your login and password and try again\"";
    QTest::newRow("huge alias is logged as an excerpt")
        << QByteArray(R"({"success":false,"response":{"code":7,"code_alias":")" + QByteArray(100000, 'a')
                      + R"(TAIL"}})")
        << false << QByteArray("7,500")
        << "HTTP Rest responce is not successful 7 \"" + QString(512, 'a') + "...\" \"Unknown error\"";
    QTest::newRow("top-level array") << QByteArray("[1]") << false << QByteArray("-2,400")
                                     << "HTTP Rest response is not contains success keyword";
    // The same problem again, with no good answer between: not logged again.
    QTest::newRow("no success key") << QByteArray(R"({"response":{}})") << false << QByteArray("-2,400") << QString();
    QTest::newRow("response that is no object") << QByteArray(R"({"success":true,"response":[{"a":1}]})") << false
                                                 << QByteArray("-2,400")
                                                 << "HTTP Rest response holds no object but an array";
}

void TestRestClient::envelope()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, success);
    QFETCH(QByteArray, expected);
    QFETCH(QString, logged);
    m_service.server.enqueue(Response::json(200, answer));
    RestClient client;
    QSignalSpy received(&client, &RestClient::jsonReceived);
    QSignalSpy failed(&client, &RestClient::error);
    MessageCapture capture;
    client.get(QStringLiteral("public/roster"), {});
    QTRY_COMPARE_WITH_TIMEOUT(received.count() + failed.count(), 1, 20000);
    if (success) {
        QCOMPARE(received.first().first().toJsonObject(), QJsonDocument::fromJson(expected).object());
    } else {
        QCOMPARE(failed.count(), 1);
        const QString pair = failed.first().at(0).toString() + "," + failed.first().at(1).toString();
        QCOMPARE(pair, QString::fromLatin1(expected));
        QVERIFY2(logged.isEmpty() ? !capture.contains("HTTP Rest") : capture.messages().contains(logged),
                 qPrintable(capture.messages().join('\n')));
    }
}

void TestRestClient::pathsAndMethods()
{
    HttpTestServer& server = m_service.server;
    for (int i = 0; i < 3; ++i)
        server.enqueue(Response::json(200, R"({"success":true})"));
    RestClient get, post, form;
    QSignalSpy a(&get, &RestClient::jsonReceived), b(&post, &RestClient::jsonReceived),
        c(&form, &RestClient::jsonReceived);
    get.get(QStringLiteral("/layouts"), {{"sessionId", "s"}});
    post.post(QStringLiteral("/layouts"), {{"sessionId", "s"}}, QByteArray("[]"));
    form.postForm(QStringLiteral("public/sessions"), {{"login", "a"}});
    QTRY_COMPARE_WITH_TIMEOUT(a.count() + b.count() + c.count(), 3, 20000);

    QCOMPARE(server.requests().size(), 3);
    QMap<QByteArray, HttpTestServer::Request> byMethod;
    for (const auto& request : server.requests())
        byMethod.insert(request.body.isEmpty() ? request.method
                                              : QByteArray(request.method + " " + request.header("Content-Type")),
                        request);
    QCOMPARE(byMethod.value("GET").target, QByteArray("/layouts?sessionId=s"));
    QCOMPARE(byMethod.value("POST application/json").target, QByteArray("/layouts?sessionId=s"));
    QCOMPARE(byMethod.value("POST application/json").body, QByteArray("[]"));
    const auto formRequest = byMethod.value("POST application/x-www-form-urlencoded");
    QCOMPARE(formRequest.target, QByteArray("/public/sessions"));
    QCOMPARE(formRequest.body, QByteArray("login=a"));
    QCOMPARE(formRequest.header("Accept"), QByteArray("application/json"));
}

void TestRestClient::formBodyOrderAndEncoding()
{
    QCOMPARE(RestClient::formBody({{"password", "p"}, {"login", "l"}, {"clientType", "windows"}}),
             QByteArray("clientType=windows&login=l&password=p"));
    // Already percent-encoded values pass through untouched.
    QCOMPARE(RestClient::formBody({{"password", "a%26b%3D%2B%20"}}), QByteArray("password=a%26b%3D%2B%20"));
    QCOMPARE(RestClient::formBody({}), QByteArray());
}

void TestRestClient::errorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("10000") << 10000
                           << "Orvanta service error: the command is not supported. Please update Orvanta Client";
    QTest::newRow("10002") << 10002 << "Error checking session code. Please try to restart Orvanta Client";
    QTest::newRow("10004") << 10004 << "Orvanta service error: requestet resource is not found";
    QTest::newRow("10016") << 10016
                           << "You have attempted to sign in too often in a short period of time. Please try again "
                              "in 30 seconds";
    QTest::newRow("-1") << -1 << "Orvanta reports about unknown service error. Please update Orvanta Client";
    QTest::newRow("-3") << -3
                        << "Error communicating with Orvanta server. It is possible that Orvanta service is "
                           "temporary unavailable. Please contact our support or try again later";
    QTest::newRow("-4") << -4
                        << "Error communicating with Orvanta servers. There may be a problem with your computer's "
                           "internet connection or with application's proxy settings.\nPlease check your internet "
                           "connection or set correct proxy settings in the \"Settings\" menu and try again";
    QTest::newRow("10007") << 10007 << "Unknown error";
    QTest::newRow("0") << 0 << "Unknown error";
}

void TestRestClient::errorTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(RestClient::errorMessage(code), text);
}

void TestRestClient::streamerPaths()
{
    HttpTestServer& server = m_service.server;
    server.setHandler([](const HttpTestServer::Request&) { return Response::json(200, "[]"); });
    HttpTestServer local;
    local.setHandler([](const HttpTestServer::Request&) { return Response::json(200, "{}"); });

    StreamerClient cloud;
    StreamerClient lan(QStringLiteral("127.0.0.1"), local.port());
    QSignalSpy cloudJson(&cloud, &StreamerClient::jsonReceived);
    QSignalSpy lanJson(&lan, &StreamerClient::jsonReceived);
    cloud.request(QStringLiteral("archive/list"), {{"camera", 3}});
    lan.request(QStringLiteral("archive/list"), {{"camera", 3}});
    QTRY_COMPARE_WITH_TIMEOUT(cloudJson.count() + lanJson.count(), 2, 20000);
    QCOMPARE(server.requests().at(0).target, QByteArray("/archive/list?camera=3"));
    QCOMPARE(local.requests().at(0).target, QByteArray("/archive/list?camera=3"));

    StreamerClient patrol;
    QSignalSpy patrolJson(&patrol, &StreamerClient::jsonReceived);
    patrol.postRequest(QStringLiteral("plugin/ptz_patrol"), {{"patrolId", 2}});
    QVERIFY(patrolJson.wait(20000));
    const auto& post = server.requests().last();
    QCOMPARE(post.method, QByteArray("POST"));
    QCOMPARE(post.target, QByteArray("/plugin/ptz_patrol?patrolId=2"));
    QCOMPARE(post.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(post.body, QByteArray());
    server.setHandler(nullptr);
}

QTEST_GUILESS_MAIN(TestRestClient)
#include "tst_restclient.moc"
