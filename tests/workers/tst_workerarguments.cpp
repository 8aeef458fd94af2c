#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

// The request a worker sends to the given server, header and all.
QByteArray requestTo(QTcpServer& server)
{
    if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 30000))
        return QByteArray();
    std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
    QByteArray request;
    // A request cut short is returned as it came, for the caller to show.
    static_cast<void>(QTest::qWaitFor([&] {
        request += socket->readAll();
        return request.contains("\r\n\r\n");
    }, 30000));
    return request;
}

} // namespace

class TestWorkerArguments : public QObject
{
    Q_OBJECT
private slots:
    void tooFewArgumentsEndWithOne_data();
    void tooFewArgumentsEndWithOne();
    void secretsComeFromTheEnvironment();
};

void TestWorkerArguments::tooFewArgumentsEndWithOne_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("clipworker without arguments") << QStringLiteral(CLIPWORKER_BIN) << QStringList();
    QTest::newRow("clipworker export without destination")
        << QStringLiteral(CLIPWORKER_BIN) << QStringList{"export", "http://127.0.0.1/a", "mp4", "1000"};
    QTest::newRow("framepump with three arguments")
        << QStringLiteral(FRAMEPUMP_BIN) << QStringList{"127.0.0.1", "8080", "/flv?a=1&type=su"};
    QTest::newRow("framepump with a port that is not one")
        << QStringLiteral(FRAMEPUMP_BIN) << QStringList{"127.0.0.1", "80x", "/flv?a=1&type=su", "frames"};
    // "-" stands for a stream in the environment, and there is none.
    QTest::newRow("clipworker without its stream") << QStringLiteral(CLIPWORKER_BIN) << QStringList{"-", "frames"};
    QTest::newRow("clipworker export without its source")
        << QStringLiteral(CLIPWORKER_BIN) << QStringList{"export", "-", "mp4", "1000", "a.mp4"};
    QTest::newRow("framepump without its path")
        << QStringLiteral(FRAMEPUMP_BIN) << QStringList{"127.0.0.1", "8080", "-", "frames"};
}

void TestWorkerArguments::tooFewArgumentsEndWithOne()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
}

void TestWorkerArguments::secretsComeFromTheEnvironment()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString port = QString::number(server.serverPort());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("WATCHDESK_STREAM", "/flv?camera=1&sessionId=s3cret&type=su");
    QProcess framepump;
    framepump.setProcessEnvironment(environment);
    framepump.start(FRAMEPUMP_BIN, {"127.0.0.1", port, "-", "none"});
    QCOMPARE(requestTo(server).split('\r').first(), QByteArray("GET /flv?camera=1&sessionId=s3cret&type=su HTTP/1.1"));
    framepump.kill();
    framepump.waitForFinished(10000);

    // The server stands in for the proxy, which is asked for the camera's address
    // with the password from the environment.
    environment.insert("WATCHDESK_STREAM", "http://camera.invalid:8080/flv/live?camera=1&sessionId=s3cret");
    environment.insert("WATCHDESK_PROXY_PASSWORD", "hunter2");
    QProcess clipworker;
    clipworker.setProcessEnvironment(environment);
    clipworker.start(CLIPWORKER_BIN, {"-", "none", ":http-proxy=http://bob@127.0.0.1:" + port + "/"});
    const QByteArray request = requestTo(server);
    QVERIFY2(request.startsWith("GET http://camera.invalid:8080/flv/live?camera=1&sessionId=s3cret "), request.constData());
    QVERIFY2(request.contains("Proxy-Authorization: Basic " + QByteArray("bob:hunter2").toBase64()), request.constData());
    clipworker.kill();
    clipworker.waitForFinished(10000);
}

QTEST_GUILESS_MAIN(TestWorkerArguments)
#include "tst_workerarguments.moc"
