#include "httptestserver.h"
#include "messagecapture.h"
#include "api/httpclient.h"
#include "core/settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using OrvantaClient::API::HTTPClient;
using Response = HttpTestServer::Response;

namespace {

// The outcome a caller sees: exactly one of the three signals.
struct Outcome
{
    explicit Outcome(HTTPClient& client)
        : raw(&client, qOverload<QByteArray>(&HTTPClient::finished))
        , json(&client, qOverload<QJsonDocument>(&HTTPClient::finished))
        , error(&client, &HTTPClient::error)
    {
    }
    int total() const { return raw.count() + json.count() + error.count(); }
    QPair<int, int> errorPair() const
    {
        return error.isEmpty() ? qMakePair(0, 0)
                               : qMakePair(error.first().at(0).toInt(), error.first().at(1).toInt());
    }
    QSignalSpy raw;
    QSignalSpy json;
    QSignalSpy error;
};

// Answers every connection with raw bytes, and closes it or keeps it open.
class RawServer : public QTcpServer
{
public:
    RawServer() { listen(QHostAddress::LocalHost); }
    QByteArray answer;
    bool close = true;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            if (!socket->readAll().contains("\r\n\r\n"))
                return;
            socket->write(answer);
            if (close)
                socket->disconnectFromHost();
        });
    }
};

bool settle(Outcome& outcome)
{
    // Any of the three signals ends the request; give it time on a loaded machine.
    QDeadlineTimer deadline(30000);
    while (outcome.total() == 0 && !deadline.hasExpired())
        QTest::qWait(20);
    QTest::qWait(50); // a second, wrong outcome would arrive right behind the first
    return outcome.total() == 1;
}

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void queryOrderAndAcceptHeader();
    void rawBodyByteForByte();
    void failures_data();
    void failures();
    void refusedConnectionIsNotLogged();
    void hugeGarbageIsLoggedAsExcerpt();
    void getRedirectKeepsTargetQuery();
    void postRedirectResendsBody();
    void pathOnlyRedirectFails();
    void redirectLoopStopsAfterTen();
    void deleteRedirectIsReported();
    void clientIsReusableAfterRedirect();
    void laterRequestsStartAtOwnHost();
    void silentServerTimesOut();
    void hostileAnswersAreErrorsLoggedOnce();
    void proxyIsReadOncePerClient();

private:
    QTemporaryDir m_dir;
};

void TestHttpClient::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void TestHttpClient::queryOrderAndAcceptHeader()
{
    HttpTestServer server;
    server.enqueue(Response::json(200, R"({"a":1})"));
    server.enqueue(Response::raw(200, "x", "text/plain"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome first(client);
    client.get(QStringLiteral("//layouts"), {{"sessionId", "s 1&2"}, {"b", 2}, {"a", "x"}}, true);
    QVERIFY(settle(first));
    QCOMPARE(first.json.count(), 1);
    QCOMPARE(first.json.first().first().toJsonDocument().object().value("a").toInt(), 1);

    Outcome second(client);
    client.del(QStringLiteral("/public/sessions/abc"), {}, false);
    QVERIFY(settle(second));

    QCOMPARE(server.requests().size(), 2);
    const auto& get = server.requests().at(0);
    QCOMPARE(get.method, QByteArray("GET"));
    // The client asks for "//layouts"; the network layer collapses the doubled
    // slash on the wire, so servers see a single one.
    QCOMPARE(get.path, QByteArray("/layouts"));
    QCOMPARE(get.queryKeys(), (QStringList{"a", "b", "sessionId"}));
    QCOMPARE(get.queryValue("sessionId"), QStringLiteral("s 1&2"));
    QCOMPARE(get.header("Accept"), QByteArray("application/json"));
    QVERIFY(get.header("Content-Type").isNull());
    const auto& del = server.requests().at(1);
    QCOMPARE(del.method, QByteArray("DELETE"));
    QCOMPARE(del.target, QByteArray("/public/sessions/abc"));
    QCOMPARE(del.header("Accept"), QByteArray("*/*"));
}

void TestHttpClient::rawBodyByteForByte()
{
    HttpTestServer server;
    const QByteArray body("\xff\xd8\x00{not json}\x00\x01", 14);
    server.enqueue(Response::raw(200, body, "application/json"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    client.get(QStringLiteral("/preview/live"), {}, false);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.raw.count(), 1);
    QCOMPARE(outcome.raw.first().first().toByteArray(), body);
}

void TestHttpClient::failures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QString>("logged");
    QTest::newRow("204 to a JSON request") << 204 << QByteArray() << -2 << 400
                                           << "HTTP bad data: cannot parse response:";
    QTest::newRow("2xx that is not JSON") << 200 << QByteArray("<html>busy</html>") << -2 << 400
                                          << "\"<html>busy</html>\" Reason:  \"";
    QTest::newRow("500 with a JSON body") << 500 << QByteArray(R"({"success":true})") << -3 << 500
                                          << "HTTP error: 500 \"";
    QTest::newRow("404") << 404 << QByteArray() << -3 << 404 << "HTTP error: 404";
}

void TestHttpClient::failures()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(int, httpStatus);
    QFETCH(QString, logged);
    HttpTestServer server;
    server.enqueue(Response::json(status, body));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    MessageCapture capture;
    client.get(QStringLiteral("/x"), {}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.errorPair(), qMakePair(code, httpStatus));
    QVERIFY2(capture.contains(logged), qPrintable(capture.messages().join('\n')));
}

void TestHttpClient::refusedConnectionIsNotLogged()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    HTTPClient client(QStringLiteral("127.0.0.1"), port, false, false);
    Outcome outcome(client);
    MessageCapture capture;
    client.get(QStringLiteral("/x"), {{"a", 1}}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.errorPair(), qMakePair(-3, 0));
    QVERIFY2(!capture.contains(QStringLiteral("HTTP")), qPrintable(capture.messages().join('\n')));
}

void TestHttpClient::hugeGarbageIsLoggedAsExcerpt()
{
    HttpTestServer server;
    const QByteArray body = QByteArray(4 << 20, 'g') + "TAIL";
    server.enqueue(Response::raw(200, body, "application/json"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    MessageCapture capture;
    client.get(QStringLiteral("/streams/info"), {}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.errorPair(), qMakePair(-2, 400));
    const QString log = capture.messages().join('\n');
    QVERIFY2(log.size() < 1024, qPrintable(log.left(200)));
    QVERIFY(log.contains("HTTP bad data: cannot parse response: \"" + QString(512, 'g') + "...\""));
    QVERIFY(log.contains("Size: " + QString::number(body.size())));
    QVERIFY(!log.contains("TAIL"));
}

void TestHttpClient::getRedirectKeepsTargetQuery()
{
    HttpTestServer server;
    server.enqueue(Response::redirect(302, server.url().toEncoded() + "/moved?token=a%2Bb"));
    server.enqueue(Response::json(200, "[1,2]"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    client.get(QStringLiteral("/first"), {{"sessionId", "abc"}}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.json.count(), 1);
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests().at(1).method, QByteArray("GET"));
    QCOMPARE(server.requests().at(1).target, QByteArray("/moved?token=a%2Bb"));
    QCOMPARE(server.requests().at(1).header("Accept"), QByteArray("application/json"));
}

void TestHttpClient::postRedirectResendsBody()
{
    HttpTestServer server;
    server.enqueue(Response::redirect(303, server.url().toEncoded() + "/other"));
    server.enqueue(Response::json(200, "{}"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    client.post(QStringLiteral("/public/sessions"), QByteArray("login=a&password=b"),
                QStringLiteral("application/x-www-form-urlencoded"), true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.json.count(), 1);
    QCOMPARE(server.requests().size(), 2);
    const auto& second = server.requests().at(1);
    QCOMPARE(second.method, QByteArray("POST"));
    QCOMPARE(second.target, QByteArray("/other"));
    QCOMPARE(second.body, QByteArray("login=a&password=b"));
    QCOMPARE(second.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
}

void TestHttpClient::pathOnlyRedirectFails()
{
    HttpTestServer server;
    server.enqueue(Response::redirect(301, "/elsewhere"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    client.get(QStringLiteral("/x"), {}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.errorPair(), qMakePair(-3, 0));
    QCOMPARE(server.requests().size(), 1);
}

void TestHttpClient::redirectLoopStopsAfterTen()
{
    HttpTestServer server;
    const QByteArray loop = server.url().toEncoded() + "/loop";
    server.setHandler([loop](const HttpTestServer::Request&) { return Response::redirect(302, loop); });
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    client.get(QStringLiteral("/start"), {}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.errorPair(), qMakePair(-3, 302));
    QCOMPARE(server.requests().size(), 1 + HTTPClient::maxRedirects);
}

void TestHttpClient::deleteRedirectIsReported()
{
    HttpTestServer server;
    server.enqueue(Response::redirect(301, server.url().toEncoded() + "/other"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome outcome(client);
    client.del(QStringLiteral("/public/sessions/abc"), {}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.errorPair(), qMakePair(-3, 301));
    QCOMPARE(server.requests().size(), 1);
}

void TestHttpClient::clientIsReusableAfterRedirect()
{
    // A local server's stream-info client is kept and asked again and again.
    HttpTestServer server;
    server.enqueue(Response::redirect(302, server.url().toEncoded() + "/v2/streams/info"));
    server.enqueue(Response::json(200, "[]"));
    server.enqueue(Response::json(200, "[]"));
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    Outcome first(client);
    client.get(QStringLiteral("/streams/info"), {{"password", "p"}}, true);
    QVERIFY(settle(first));
    Outcome second(client);
    client.get(QStringLiteral("/streams/info"), {{"password", "p"}}, true);
    QVERIFY(settle(second));
    QCOMPARE(second.json.count(), 1);
    QCOMPARE(server.requests().size(), 3);
    QCOMPARE(server.requests().at(2).target, QByteArray("/streams/info?password=p"));
}

void TestHttpClient::laterRequestsStartAtOwnHost()
{
    // One redirect, to another host or to a bare path, must not move the
    // client: its next request goes to its own host again.
    HttpTestServer home;
    HttpTestServer elsewhere;
    home.enqueue(Response::redirect(302, elsewhere.url().toEncoded() + "/moved"));
    home.enqueue(Response::json(200, "[1]"));
    home.enqueue(Response::redirect(301, "/elsewhere"));
    home.enqueue(Response::json(200, "[2]"));
    elsewhere.setHandler([](const HttpTestServer::Request&) { return Response::json(200, "[0]"); });
    HTTPClient client(QStringLiteral("127.0.0.1"), home.port(), false, false);

    Outcome moved(client);
    client.get(QStringLiteral("/streams/info"), {}, true);
    QVERIFY(settle(moved));
    QCOMPARE(moved.json.count(), 1);
    QCOMPARE(elsewhere.requests().size(), 1);

    Outcome back(client);
    client.get(QStringLiteral("/streams/info"), {{"server", "1"}}, true);
    QVERIFY(settle(back));
    QCOMPARE(back.json.count(), 1);
    QCOMPARE(back.json.first().first().toJsonDocument().array().first().toInt(), 1);
    QCOMPARE(home.requests().size(), 2);
    QCOMPARE(home.requests().at(1).target, QByteArray("/streams/info?server=1"));

    Outcome pathOnly(client);
    client.post(QStringLiteral("/plugin/ptz_patrol"), QByteArray(), QStringLiteral("text/plain"), true);
    QVERIFY(settle(pathOnly));
    QCOMPARE(pathOnly.errorPair(), qMakePair(-3, 0));

    Outcome again(client);
    client.get(QStringLiteral("/streams/info"), {}, true);
    QVERIFY(settle(again));
    QCOMPARE(again.json.count(), 1);
    QCOMPARE(home.requests().size(), 4);
    QCOMPARE(home.requests().at(3).method, QByteArray("GET"));
    QCOMPARE(elsewhere.requests().size(), 1);
}

void TestHttpClient::silentServerTimesOut()
{
    HttpTestServer server;
    server.enqueue(Response::silent());
    HTTPClient client(QStringLiteral("127.0.0.1"), server.port(), false, false);
    client.setTransferTimeout(300);
    Outcome outcome(client);
    client.get(QStringLiteral("/streams/info"), {}, true);
    QVERIFY(settle(outcome));
    QCOMPARE(outcome.errorPair(), qMakePair(-3, 0));
}

void TestHttpClient::hostileAnswersAreErrorsLoggedOnce()
{
    RawServer server;
    HTTPClient client(QStringLiteral("127.0.0.1"), server.serverPort(), false, false);
    MessageCapture capture;
    auto outcomeOf = [&client](const QByteArray& answer, RawServer& server) {
        server.answer = answer;
        Outcome outcome(client);
        client.get(QStringLiteral("/public/roster"), {}, true);
        return settle(outcome) ? outcome.errorPair() : qMakePair(1, 1);
    };
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";

    // Cut right after headers that promised a body: no answer, twice, logged once.
    const QByteArray cut = head + "Content-Length: 100\r\n\r\n";
    QCOMPARE(outcomeOf(cut, server), qMakePair(-3, 0));
    QCOMPARE(outcomeOf(cut, server), qMakePair(-3, 0));
    QCOMPARE(capture.messages().filter("HTTP answer cut short: 0 of 100 bytes").size(), 1);

    // 100,000 levels of nesting are refused by the parser, not followed down.
    const QByteArray deep = QByteArray(100000, '[') + QByteArray(100000, ']');
    QCOMPARE(outcomeOf(head + "Content-Length: " + QByteArray::number(deep.size()) + "\r\n\r\n" + deep, server),
             qMakePair(-2, 400));
    QVERIFY2(capture.contains("too deeply nested document"), qPrintable(capture.messages().join('\n').left(2000)));

    // A good answer: problems are logged afresh.
    QCOMPARE(outcomeOf(head + "Content-Length: 2\r\n\r\n{}", server), qMakePair(0, 0));
    QVERIFY(capture.contains("after 1 more problems not logged"));
    QCOMPARE(outcomeOf(cut, server), qMakePair(-3, 0));
    QCOMPARE(capture.messages().filter("HTTP answer cut short").size(), 2);

    // Too large: given up on as soon as the length is announced, with the
    // connection still open; and while it comes when no length is announced.
    server.close = false;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(outcomeOf(head + "Content-Length: 20971520\r\n\r\n[", server), qMakePair(-2, 400));
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(capture.contains("HTTP answer too large: at least 20971520 bytes"));
    server.close = true;
    const QByteArray endless = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n[" + QByteArray(HTTPClient::maxAnswerSize, ' ');
    QCOMPARE(outcomeOf(endless, server), qMakePair(-2, 400));
}

void TestHttpClient::proxyIsReadOncePerClient()
{
    HttpTestServer proxy;
    proxy.setHandler([](const HttpTestServer::Request&) { return Response::json(200, "{}"); });
    auto& settings = OrvantaClient::App::Settings::instance();
    settings.setValue("proxy/useProxy", true);
    settings.setValue("proxy/host", "127.0.0.1");
    settings.setValue("proxy/port", QString::number(proxy.port()));

    // Nothing listens on the service's port: only the proxy can answer.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 servicePort = closed.serverPort();
    closed.close();
    HTTPClient proxied(QStringLiteral("127.0.0.1"), servicePort, false, true);
    HTTPClient direct(QStringLiteral("127.0.0.1"), servicePort, false, false);
    settings.setValue("proxy/useProxy", false);

    Outcome viaProxy(proxied);
    proxied.get(QStringLiteral("/public/roster"), {{"sessionId", "s"}}, true);
    QVERIFY(settle(viaProxy));
    QCOMPARE(viaProxy.json.count(), 1);
    QCOMPARE(proxy.requests().size(), 1);
    QCOMPARE(proxy.requests().at(0).target,
             "http://127.0.0.1:" + QByteArray::number(servicePort) + "/public/roster?sessionId=s");

    Outcome notProxied(direct);
    direct.get(QStringLiteral("/public/roster"), {}, true);
    QVERIFY(settle(notProxied));
    QCOMPARE(notProxied.errorPair(), qMakePair(-3, 0));

    // Letters in the port give port 0: nothing reaches the proxy.
    settings.setValue("proxy/useProxy", true);
    settings.setValue("proxy/port", QString(QString::number(proxy.port()) + "x"));
    HTTPClient badPort(QStringLiteral("127.0.0.1"), servicePort, false, true);
    Outcome refused(badPort);
    badPort.get(QStringLiteral("/public/roster"), {}, true);
    QVERIFY(settle(refused));
    QCOMPARE(refused.errorPair(), qMakePair(-3, 0));
    QCOMPARE(proxy.requests().size(), 1);
    settings.setValue("proxy/useProxy", false);
}

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
