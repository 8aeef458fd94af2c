#include "../common/filefaults.h"
#include "../common/filemode.h"
#include "../common/readonlyfolder.h"
#include "core/settings.h"
#include "core/usernotices.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

using OrvantaClient::App::Settings;
using OrvantaClient::App::UserNotices;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void keepsExistingValuesAndTightensMode();
    void rewritesStayOwnerOnly();
    void damagedFileLosesNothing_data();
    void damagedFileLosesNothing();
    void garbledValuesReadAsDefaults();

private:
    QTemporaryDir m_dir;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    // Others may pass through to a folder made read-only for them.
    QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther));
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

void TestSettings::damagedFileLosesNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("readWhole");
    QTest::addColumn<QString>("email"); // as read from it
    QTest::addColumn<Failure>("failure");
    const QByteArray good = "[auth]\nemail=Someone@Example.com\n[sound]\nvolume=30\n";
    // Sized by the compiler: the bytes hold a NUL, and a length counted by hand
    // is easily one too many.
    static const char garbledTail[] = "\x01\xff garbage \x00\n[mainWin";
    static const char garbage[] = "\x00\x13\xfe\xff garbage\n\x7f";
    const QByteArray garbled = good + QByteArray(garbledTail, sizeof garbledTail - 1);
    QTest::newRow("truncated") << good + "[mainWin" << false << "Someone@Example.com" << Failure::None;
    QTest::newRow("empty") << QByteArray() << true << "" << Failure::None;
    QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1) << false << "" << Failure::None;
    QTest::newRow("json") << QByteArray(R"({"auth": {"email": "Someone@Example.com"}})") << false << "" << Failure::None;
    QTest::newRow("50 MB") << good + QByteArray(50 * 1024 * 1024, ' ') << false << "" << Failure::None;
    QTest::newRow("good, read-only folder") << good << true << "Someone@Example.com" << Failure::ReadOnlyFolder;
    QTest::newRow("garbled, read-only folder") << garbled << false << "Someone@Example.com" << Failure::ReadOnlyFolder;
    QTest::newRow("good, full disk") << good << true << "Someone@Example.com" << Failure::FullDisk;
}

void TestSettings::damagedFileLosesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readWhole);
    QFETCH(QString, email);
    QFETCH(Failure, failure);
    QTemporaryDir folder(m_dir.filePath(QStringLiteral("case-XXXXXX")));
    const QString fileName = folder.filePath(QStringLiteral("OrvantaClient.ini"));
    writeBytes(fileName, content);
    const QStringList earlier = plantEarlierCopies(fileName);
    UserNotices::instance().takeAll();

    std::optional<ReadOnlyFolder> readOnly;
    if (failure == Failure::ReadOnlyFolder)
        readOnly.emplace(folder.path());
    QElapsedTimer clock;
    clock.start();
    Settings settings(fileName);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(settings.value("auth/email").toString(), email);
    QCOMPARE(settings.readNotice().isEmpty(), readWhole);

    const QString password(4096, 'p');
    settings.setValue("auth/password", password);
    bool synced = false;
    if (failure == Failure::FullDisk)
        storeOnFullDisk([&] { synced = settings.sync(); });
    else
        synced = settings.sync();
    readOnly.reset();
    // A garbled file that cannot be moved aside is not written at all.
    const bool savedElsewhere = failure == Failure::ReadOnlyFolder && !readWhole;
    QCOMPARE(synced, failure == Failure::None || savedElsewhere);
    QCOMPARE(UserNotices::instance().takeAll(),
             synced ? QStringList() : QStringList{"The settings could not be saved to " + fileName + "."});

    verifyNothingLost(fileName, content, earlier);
    // What could be read, and what was set, is written once the file can be.
    if (failure == Failure::FullDisk)
        QVERIFY(settings.sync());
    if (!savedElsewhere && failure != Failure::ReadOnlyFolder) {
        const QSettings written(fileName, QSettings::IniFormat);
        QCOMPARE(written.value("auth/password").toString(), password);
        QCOMPARE(written.value("auth/email").toString(), email);
        QCOMPARE(fileMode(fileName), 0600);
    }
}

void TestSettings::garbledValuesReadAsDefaults()
{
    const QString fileName = m_dir.filePath(QStringLiteral("values.ini"));
    writeBytes(fileName, "[common]\nlanguage=klingon\n[sound]\nvolume=9999\n[proxy]\nport=http\n"
                         "[cameras]\nrotation=90\nshift=-5\nhuge=99999999999999999999\n");
    Settings settings(fileName);
    QVERIFY(settings.readNotice().isEmpty()); // a well-formed file with odd values
    QCOMPARE(settings.choiceValue("common/language", "en", {"en", "ru"}), QStringLiteral("en"));
    QCOMPARE(settings.intValue("sound/volume", 50, 0, 100), 50);
    QCOMPARE(settings.intValue("proxy/port", 0, 0, 65535), 0);
    QCOMPARE(settings.intValue("cameras/rotation", 0, 0, 359), 90);
    QCOMPARE(settings.intValue("cameras/shift", 0, 0, 359), 0);
    QCOMPARE(settings.intValue("cameras/huge", 0, 0, 359), 0);
    QCOMPARE(settings.intValue("cameras/missing", 7, 0, 359), 7);

    // Values as the program stores them read back, as numbers or as text.
    settings.setValue("common/language", "ru");
    settings.setValue("sound/volume", 30);
    settings.setValue("proxy/port", " 3128");
    QVERIFY(settings.sync());
    const Settings again(fileName);
    QCOMPARE(again.choiceValue("common/language", "en", {"en", "ru"}), QStringLiteral("ru"));
    QCOMPARE(again.intValue("sound/volume", 50, 0, 100), 30);
    QCOMPARE(again.intValue("proxy/port", 0, 0, 65535), 3128);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
