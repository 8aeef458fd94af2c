#include "camsimprocess.h"

#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QtTest>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// Four ports in a row that nothing listens on now: cloud, control, two local servers.
quint16 freePortBase()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        const quint16 base = quint16(20000 + QRandomGenerator::global()->bounded(4000) * 8);
        bool free = true;
        for (int i = 0; i < 4 && free; ++i) {
            QTcpServer probe;
            free = probe.listen(QHostAddress::LocalHost, quint16(base + i));
        }
        if (free)
            return base;
    }
    return 0;
}

QByteArray readAll(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

CamsimProcess::~CamsimProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && ::waitpid(m_pid, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (::waitpid(m_pid, &status, WNOHANG) == 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
        }
    }
}

bool CamsimProcess::start(const QString& program, const QString& workDir, const QString& logDir,
                          const QStringList& extraArguments)
{
    m_portBase = freePortBase();
    if (!m_portBase)
        return false;
    m_logFile = logDir + QStringLiteral("/camsim-requests.jsonl");
    const QString errFile = logDir + QStringLiteral("/camsim-stderr.txt");

    QList<QByteArray> args{QFile::encodeName(program), "--workdir", QFile::encodeName(workDir), "--port-base",
                           QByteArray::number(m_portBase)};
    for (const QString& extra : extraArguments)
        args << extra.toUtf8();
    std::vector<char*> argv;
    for (QByteArray& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(m_logFile).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, QFile::encodeName(errFile).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = 0;
        return false;
    }

    // Ready once it says where it listens; the working folder is written by then.
    for (int i = 0; i < 1200; ++i) {
        if (readAll(errFile).contains("control on port"))
            return true;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = 0;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    qWarning("camsim did not start: %s", readAll(errFile).constData());
    return false;
}

void CamsimProcess::readLog() const
{
    QFile file(m_logFile);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_readUpTo))
        return;
    const QByteArray data = file.readAll();
    const int end = data.lastIndexOf('\n');
    if (end < 0)
        return;
    m_readUpTo += end + 1;
    for (const QByteArray& line : data.left(end).split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (!object.isEmpty())
            m_log.append(object);
    }
}

int CamsimProcess::index() const
{
    readLog();
    return m_log.size();
}

QList<QJsonObject> CamsimProcess::requestsSince(int index) const
{
    readLog();
    return m_log.mid(index);
}

QList<QJsonObject> CamsimProcess::requestsSince(int index, const QString& targetPart) const
{
    QList<QJsonObject> found;
    for (const QJsonObject& line : requestsSince(index)) {
        if (line.value("target").toString().contains(targetPart))
            found.append(line);
    }
    return found;
}

bool CamsimProcess::setFaults(const QJsonObject& faults)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/faults").arg(m_portBase + 1)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply* reply = manager.post(request, QJsonDocument(faults).toJson(QJsonDocument::Compact));
    const bool done = QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000);
    const bool ok = done && reply->error() == QNetworkReply::NoError;
    reply->deleteLater();
    return ok;
}
