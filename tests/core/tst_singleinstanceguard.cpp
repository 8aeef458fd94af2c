#include "core/singleinstanceguard.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using OrvantaClient::App::SingleInstanceGuard;

class TestSingleInstanceGuard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void secondCheckFindsFirstAndKnocks();
    void staleNameIsRecovered();

private:
    QTemporaryDir m_tmp;
};

void TestSingleInstanceGuard::initTestCase()
{
    // Local socket names live in the temporary folder: keep them to this test.
    QVERIFY(m_tmp.isValid());
    qputenv("TMPDIR", QFile::encodeName(m_tmp.path()));
    QCOMPARE(QDir::tempPath(), QDir(m_tmp.path()).canonicalPath());
}

void TestSingleInstanceGuard::secondCheckFindsFirstAndKnocks()
{
    const QString key = QStringLiteral("guard-test-lock");
    SingleInstanceGuard first;
    QSignalSpy knocks(&first, &SingleInstanceGuard::anotherLaunch);
    QVERIFY(!first.check(key));
    QVERIFY(first.isListening());

    SingleInstanceGuard second;
    QVERIFY(second.check(key, 5000));
    QVERIFY(!second.isListening());
    QVERIFY(knocks.wait(10000));
    QCOMPARE(knocks.count(), 1);
}

void TestSingleInstanceGuard::staleNameIsRecovered()
{
    const QString key = QStringLiteral("stale-test-lock");
    // What a killed process leaves behind: the name exists, nobody listens.
    QFile leftover(QDir::tempPath() + QLatin1Char('/') + key);
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.close();

    SingleInstanceGuard guard;
    QVERIFY(!guard.check(key, 5000));
    QVERIFY(guard.isListening());

    SingleInstanceGuard later;
    QVERIFY(later.check(key, 5000));
}

QTEST_GUILESS_MAIN(TestSingleInstanceGuard)
#include "tst_singleinstanceguard.moc"
