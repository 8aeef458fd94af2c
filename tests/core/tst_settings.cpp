#include "../common/filemode.h"
#include "core/settings.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using OrvantaClient::App::Settings;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void keepsExistingValuesAndTightensMode();
    void rewritesStayOwnerOnly();

private:
    QTemporaryDir m_dir;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    // A file left by an older version, readable by everyone.
    QFile old(QStringLiteral("OrvantaClient.ini"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("[auth]\nemail=Someone@Example.com\npassword=secret\n");
    old.close();
    QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                               | QFileDevice::ReadOther));
}

void TestSettings::keepsExistingValuesAndTightensMode()
{
    Settings& settings = Settings::instance();
    QCOMPARE(QFileInfo(settings.fileName()).fileName(), QStringLiteral("OrvantaClient.ini"));
    QCOMPARE(QFileInfo(settings.fileName()).absolutePath(), QDir(m_dir.path()).canonicalPath());
    QCOMPARE(settings.value(QStringLiteral("auth/email")).toString(), QStringLiteral("Someone@Example.com"));
    QVERIFY(settings.contains(QStringLiteral("auth/password")));
    QVERIFY(!settings.contains(QStringLiteral("sound/volume")));
    QCOMPARE(settings.value(QStringLiteral("sound/volume"), 50).toInt(), 50);
    QCOMPARE(fileMode(settings.fileName()), 0600);
}

void TestSettings::rewritesStayOwnerOnly()
{
    Settings& settings = Settings::instance();
    settings.setValue(QStringLiteral("auth/password"), QStringLiteral("new secret"));
    settings.setValue(QStringLiteral("proxy/port"), QStringLiteral("3128"));
    settings.sync();
    QCOMPARE(fileMode(settings.fileName()), 0600);

    // The toolkit also writes on its own, without our sync.
    settings.setValue(QStringLiteral("sound/on"), false);
    QTRY_COMPARE_WITH_TIMEOUT(QSettings(settings.fileName(), QSettings::IniFormat).value(QStringLiteral("sound/on")).toBool(),
                              false, 20000);
    QCOMPARE(fileMode(settings.fileName()), 0600);
    QCOMPARE(QSettings(settings.fileName(), QSettings::IniFormat).value(QStringLiteral("auth/password")).toString(),
             QStringLiteral("new secret"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
