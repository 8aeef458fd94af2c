#include "filemode.h"
#include "player/framefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using OrvantaClient::GUI::Player::FrameFile;

class TestFrameFile : public QObject
{
    Q_OBJECT
private slots:
    void namesCountUpAndStay();
    void createsAnOwnerOnlyMappedFile();
    void tightensAFileLeftByAnEarlierRun();
    void neverFollowsAPlantedLink();
};

void TestFrameFile::namesCountUpAndStay()
{
    FrameFile first;
    FrameFile second;
    const QRegularExpression form(QStringLiteral("^orvanta_client-player-(\\d+)$"));
    const QRegularExpressionMatch a = form.match(first.name()), b = form.match(second.name());
    QVERIFY(a.hasMatch() && b.hasMatch());
    QCOMPARE(b.captured(1).toLongLong(), a.captured(1).toLongLong() + 1);
    QCOMPARE(first.path(), QDir::tempPath() + QDir::separator() + first.name());

    QFile::remove(first.path());
    const QString name = first.name();
    QVERIFY(first.open());
    uchar* mapping = first.data();
    QVERIFY(first.open()); // a second start reuses the mapping and the name
    QCOMPARE(first.data(), mapping);
    QCOMPARE(first.name(), name);
    QFile::remove(first.path());
}

void TestFrameFile::createsAnOwnerOnlyMappedFile()
{
    auto file = std::make_unique<FrameFile>();
    QFile::remove(file->path());
    QVERIFY(!file->isOpen());
    QVERIFY(file->open());
    QCOMPARE(fileMode(file->path()), 0600);
    QCOMPARE(QFileInfo(file->path()).size(), FrameFile::capacity);
    file->data()[FrameFile::capacity - 1] = 0x5A;
    const QString path = file->path();
    file.reset();
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.seek(FrameFile::capacity - 1));
    QCOMPARE(written.read(1), QByteArray(1, 0x5A));
    written.close();
    QFile::remove(path);
}

void TestFrameFile::tightensAFileLeftByAnEarlierRun()
{
    FrameFile file;
    QFile old(file.path());
    QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
    old.close();
    QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
    const QString name = file.name();
    QVERIFY(file.open());
    QCOMPARE(file.name(), name);
    QCOMPARE(fileMode(file.path()), 0600);
    QFile::remove(file.path());
}

// Someone plants a link under the next name; the file must not be created through
// it, and the widget moves on to a name of its own.
void TestFrameFile::neverFollowsAPlantedLink()
{
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    FrameFile file;
    const QString planted = file.path();
    QFile::remove(planted);
    QVERIFY(QFile::link(victim, planted));
    QVERIFY(file.open());
    QVERIFY(!QFile::exists(victim));
    QVERIFY(file.name() != QFileInfo(planted).fileName());
    QVERIFY(file.name().startsWith(QLatin1String("orvanta_client-player-")));
    QCOMPARE(fileMode(file.path()), 0600);
    FrameFile next;
    QVERIFY(next.name() != file.name());
    QFile::remove(planted);
    QFile::remove(file.path());
}

QTEST_GUILESS_MAIN(TestFrameFile)
#include "tst_framefile.moc"
