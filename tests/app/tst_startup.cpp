// The real watchdesk binary: one instance per user, the files of a first start,
// recovery of the guard after the first instance was killed, a normal quit on
// SIGTERM and SIGINT, a restart that hands over to one new instance, and a
// start in a working folder that cannot be written.
#include "../common/filemode.h"
#include "core/constants.h"
#include "core/singleinstanceguard.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void secondStartExitsAndFirstKeepsRunning();
    void killedInstanceLeavesNoLock();
    void quitSignalsQuitNormally();
    void restartHandsOverToOneNewInstance();
    void readOnlyWorkingFolderStillStarts();
    void cleanup();

private:
    QProcess* start(const QString& folder = QStringLiteral("work"));
    bool waitForStartup(int timeoutMs, const QString& logName = QStringLiteral("work/orvanta_client_log.txt"));

    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QList<QProcess*> m_processes;
    QList<qint64> m_detached;
};

void TestStartup::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char* folder : {"work", "home", "cache", "config", "tmp"})
        QVERIFY(QDir(m_dir.path()).mkdir(QLatin1String(folder)));
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    m_env.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.filePath(QStringLiteral("cache")));
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    // The guard's socket lives in the temporary folder: keep it to this test.
    m_env.insert(QStringLiteral("TMPDIR"), m_dir.filePath(QStringLiteral("tmp")));
}

QProcess* TestStartup::start(const QString& folder)
{
    auto* process = new QProcess(this);
    process->setProcessEnvironment(m_env);
    process->setWorkingDirectory(m_dir.filePath(folder));
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(QStringLiteral(WATCHDESK_BIN), QStringList());
    m_processes << process;
    return process;
}

bool TestStartup::waitForStartup(int timeoutMs, const QString& logName)
{
    // The directory block ends the start-up; the guard listens before it.
    QFile log(m_dir.filePath(logName));
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (log.open(QIODevice::ReadOnly)) {
            const bool done = log.readAll().contains("==================================\n");
            log.close();
            if (done)
                return true;
        }
        QTest::qWait(50);
    }
    return false;
}

void TestStartup::secondStartExitsAndFirstKeepsRunning()
{
    QProcess* first = start();
    QVERIFY(first->waitForStarted(30000));
    QVERIFY2(waitForStartup(60000), "the first instance did not finish its start-up");

    QProcess* second = start();
    QVERIFY(second->waitForFinished(60000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 133); // -123 as the shell sees it
    QCOMPARE(first->state(), QProcess::Running);

    const QString work = m_dir.filePath(QStringLiteral("work"));
    QSettings ini(work + QStringLiteral("/OrvantaClient.ini"), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("experimental/framepump")).toString(), QStringLiteral("true"));
    QCOMPARE(fileMode(work + QStringLiteral("/OrvantaClient.ini")), 0600);
    QCOMPARE(fileMode(work + QStringLiteral("/orvanta_client_log.txt")), 0600);

    QFile log(work + QStringLiteral("/orvanta_client_log.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.contains(" ==== Application directories: ====\n"));
    QVERIFY(text.contains(" Local roster file: \"local_roster.txt\"\n"));
}

void TestStartup::killedInstanceLeavesNoLock()
{
    QProcess* first = start();
    QVERIFY(first->waitForStarted(30000));
    QVERIFY(waitForStartup(60000));
    first->kill(); // SIGKILL: the socket name stays behind
    QVERIFY(first->waitForFinished(30000));
    QVERIFY(!QDir(m_dir.filePath(QStringLiteral("tmp"))).entryList(QDir::System).isEmpty());

    QFile::remove(m_dir.filePath(QStringLiteral("work/orvanta_client_log.txt")));
    QProcess* next = start();
    QVERIFY(next->waitForStarted(30000));
    QVERIFY2(waitForStartup(60000), "a start after a crash must recover the guard");
    QCOMPARE(next->state(), QProcess::Running);

    QProcess* another = start();
    QVERIFY(another->waitForFinished(60000));
    QCOMPARE(another->exitCode(), 133);
}

void TestStartup::quitSignalsQuitNormally()
{
    for (int signalNumber : {SIGTERM, SIGINT}) {
        QFile::remove(m_dir.filePath(QStringLiteral("work/orvanta_client_log.txt")));
        QProcess* process = start();
        QVERIFY(process->waitForStarted(30000));
        QVERIFY(waitForStartup(60000));
        QCOMPARE(::kill(pid_t(process->processId()), signalNumber), 0);
        QVERIFY(process->waitForFinished(60000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
        // A normal quit: the guard's socket is gone and the log has its last line.
        QVERIFY(QDir(m_dir.filePath(QStringLiteral("tmp"))).entryList(QDir::System).isEmpty());
        QFile log(m_dir.filePath(QStringLiteral("work/orvanta_client_log.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains(" Quit on signal " + QByteArray::number(signalNumber) + "\n"));
    }
}

void TestStartup::restartHandsOverToOneNewInstance()
{
    // This test stands for the instance that ends with a restart: it holds the
    // guard, with the environment of the instances it starts.
    for (const char* name : {"QT_QPA_PLATFORM", "HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "TMPDIR"})
        qputenv(name, m_env.value(QLatin1String(name)).toLocal8Bit());
    const QString work = m_dir.filePath(QStringLiteral("work"));
    QFile::remove(work + QStringLiteral("/orvanta_client_log.txt"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work);
    OrvantaClient::App::SingleInstanceGuard guard;
    QVERIFY(!guard.check(QLatin1String(OrvantaClient::App::Constants::internalName) + "-single-app-lock"));
    qint64 pid = 0;
    const bool started = guard.handOver(QStringLiteral(WATCHDESK_BIN), {}, &pid);
    QDir::setCurrent(previous);
    QVERIFY(started);
    m_detached << pid;
    QVERIFY2(waitForStartup(60000), "the new instance did not come up");
    QCOMPARE(::kill(pid_t(pid), 0), 0);

    // Exactly one: it holds the guard now.
    QProcess* another = start();
    QVERIFY(another->waitForFinished(60000));
    QCOMPARE(another->exitCode(), 133);
    QCOMPARE(::kill(pid_t(pid), 0), 0);
}

void TestStartup::readOnlyWorkingFolderStillStarts()
{
    // Also for root, whom the folder's mode does not stop: a folder in place of the log file.
    const QString folder = m_dir.filePath(QStringLiteral("readonly"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/orvanta_client_log.txt")));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QProcess* process = start(QStringLiteral("readonly"));
    QVERIFY(process->waitForStarted(30000));

    // The log goes to the cache folder instead.
    QString logName;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QDirIterator it(m_dir.filePath(QStringLiteral("cache")), {QStringLiteral("orvanta_client_log.txt")},
                            QDir::Files, QDirIterator::Subdirectories);
            logName = it.hasNext() ? QDir(m_dir.path()).relativeFilePath(it.next()) : QString();
            return !logName.isEmpty() || process->state() == QProcess::NotRunning;
        }(),
        60000);
    QVERIFY2(!logName.isEmpty(), "no log in the cache folder");
    QVERIFY2(waitForStartup(60000, logName), "the start-up did not finish");
    QCOMPARE(process->state(), QProcess::Running);
    QFile log(m_dir.filePath(logName));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains(" Cannot open log file in working folder: \"" + QFile::encodeName(folder) + "\" log written to"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestStartup::cleanup()
{
    for (QProcess* process : qAsConst(m_processes)) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(30000);
        }
        delete process;
    }
    m_processes.clear();
    for (qint64 pid : qAsConst(m_detached)) {
        ::kill(pid_t(pid), SIGTERM);
        // Not a child of this process: wait until it has let go of the guard.
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired() && !QDir(m_dir.filePath(QStringLiteral("tmp"))).entryList(QDir::System).isEmpty())
            QTest::qWait(50);
    }
    m_detached.clear();
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
