#include "core/deployment.h"
#include "core/weblinks.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

using namespace OrvantaClient::App;

class TestWebLinks : public QObject
{
    Q_OBJECT
private slots:
    void deploymentFileOverridesEachHostItHolds();
    void deploymentFileWithBadValuesKeepsDefaults();
    void usersDeploymentFileWinsOverTheSystemOne();
    void pages();
    void tariffPageCarriesCameraAndSession();

private:
    static QString writeIni(const QTemporaryDir& dir, const QByteArray& content)
    {
        const QString path = dir.filePath(QStringLiteral("deployment.ini"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }
};

void TestWebLinks::deploymentFileOverridesEachHostItHolds()
{
    QTemporaryDir dir;
    const Deployment builtIn(dir.filePath(QStringLiteral("absent.ini")));
    QCOMPARE(builtIn.api().scheme(), QStringLiteral("https"));
    QVERIFY(builtIn.api().host().endsWith(QStringLiteral(".example")));
    QCOMPARE(Deployment::portOf(builtIn.api()), 443);

    const Deployment local(writeIni(dir, "[service]\napi=http://127.0.0.1:18080\n"));
    QCOMPARE(local.api(), QUrl(QStringLiteral("http://127.0.0.1:18080")));
    QCOMPARE(Deployment::portOf(local.api()), 18080);
    QCOMPARE(local.streaming(), builtIn.streaming());
    QCOMPARE(local.web(), builtIn.web());

    const Deployment all(writeIni(dir, "[service]\napi=http://localhost:1\nstreaming=https://s.test:8443/\n"
                                       "web=http://w.test\n"));
    QCOMPARE(all.streaming(), QUrl(QStringLiteral("https://s.test:8443")));
    QCOMPARE(all.web(), QUrl(QStringLiteral("http://w.test")));
    QCOMPARE(Deployment::portOf(all.web()), 80);
}

void TestWebLinks::deploymentFileWithBadValuesKeepsDefaults()
{
    QTemporaryDir dir;
    const Deployment builtIn(dir.filePath(QStringLiteral("absent.ini")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("invalid service address.*api")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("invalid service address.*streaming")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("invalid service address.*web")));
    const Deployment bad(writeIni(dir, "[service]\napi=ftp://127.0.0.1\nstreaming=not a url\n"
                                       "web=http://host/with/path\n"));
    QCOMPARE(bad.api(), builtIn.api());
    QCOMPARE(bad.streaming(), builtIn.streaming());
    QCOMPARE(bad.web(), builtIn.web());

    // Valid, but larger than any deployment file: not read at all.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Ignoring deployment file larger than")));
    const Deployment huge(writeIni(dir, "[service]\napi=http://127.0.0.1:18080\n" + QByteArray(100 * 1024, '\n')));
    QCOMPARE(huge.api(), builtIn.api());

    // Port 0 names no port: the transport would quietly use the scheme's own.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("invalid service address.*api")));
    const Deployment portZero(writeIni(dir, "[service]\napi=http://127.0.0.1:0\n"));
    QCOMPARE(portZero.api(), builtIn.api());
}

void TestWebLinks::usersDeploymentFileWinsOverTheSystemOne()
{
    QTemporaryDir dir;
    const QString system = dir.filePath(QStringLiteral("system.ini"));
    QFile file(system);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[service]\napi=https://api.company.test\nstreaming=https://stream.company.test\n");
    file.close();
    // The user's file: one value of its own, one it gets wrong (the system's stays).
    const QString user = writeIni(dir, "[service]\napi=http://127.0.0.1:18080\nstreaming=not a url\n");
    const Deployment both(QStringList{system, user});
    QCOMPARE(both.api(), QUrl("http://127.0.0.1:18080"));
    QCOMPARE(both.streaming(), QUrl("https://stream.company.test"));
    QCOMPARE(both.web(), Deployment(dir.filePath(QStringLiteral("absent.ini"))).web());
    // Without a user's file, the system's values.
    const Deployment systemOnly(QStringList{system, dir.filePath(QStringLiteral("absent.ini"))});
    QCOMPARE(systemOnly.api(), QUrl("https://api.company.test"));
}

void TestWebLinks::pages()
{
    const QUrl web = Deployment::instance().web();
    const QUrl downloads = WebLinks::downloads(QStringLiteral("ru"));
    QCOMPARE(downloads.host(), web.host());
    QCOMPARE(downloads.path(), QStringLiteral("/downloads"));
    QCOMPARE(downloads.query(), QStringLiteral("lang=ru"));
    QCOMPARE(downloads.fragment(), QStringLiteral("client"));
    QCOMPARE(WebLinks::passwordRecovery(QStringLiteral("en")).path(), QStringLiteral("/password-recover"));
    QCOMPARE(WebLinks::signUp(QStringLiteral("en")).toString(),
             web.toString() + QStringLiteral("/sign_up?lang=en"));
}

void TestWebLinks::tariffPageCarriesCameraAndSession()
{
    const QUrl url = WebLinks::addingCameraTariff(QStringLiteral("en"), QStringLiteral("srv-7"), 42,
                                                  QStringLiteral("abc123"));
    QCOMPARE(url.path(), QStringLiteral("/my-tariff"));
    const QString encoded = url.toString(QUrl::FullyEncoded);
    QVERIFY2(!encoded.contains(QLatin1Char('{')) && !encoded.contains(QLatin1Char('"')), qPrintable(encoded));

    const QList<QPair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0), qMakePair(QStringLiteral("lang"), QStringLiteral("en")));
    QCOMPARE(items.at(1).first, QStringLiteral("_go"));
    // The value is the JSON text percent-encoded once more inside the query.
    const QByteArray json = QByteArray::fromPercentEncoding(items.at(1).second.toUtf8());
    QJsonParseError error;
    const QJsonObject go = QJsonDocument::fromJson(json, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(!json.contains(' '));
    QCOMPARE(go.value(QStringLiteral("session")).toString(), QStringLiteral("abc123"));
    QCOMPARE(go.value(QStringLiteral("action")).toString(), QStringLiteral("configure"));
    QCOMPARE(go.value(QStringLiteral("cameras")).toObject().value(QStringLiteral("srv-7")).toArray(),
             QJsonArray{QStringLiteral("42")});
    const QJsonObject src = go.value(QStringLiteral("src")).toObject();
    QCOMPARE(src.value(QStringLiteral("event")).toString(), QStringLiteral("setup-tariff-from-player"));
    const QJsonObject client = src.value(QStringLiteral("client")).toObject();
    QCOMPARE(client.value(QStringLiteral("platform")).toString(), QStringLiteral("windows"));
    QCOMPARE(client.value(QStringLiteral("type")).toString(), QStringLiteral("desktop"));
    QCOMPARE(client.value(QStringLiteral("version")).toString(), QStringLiteral("6.1.3.304"));
}

QTEST_GUILESS_MAIN(TestWebLinks)
#include "tst_weblinks.moc"
