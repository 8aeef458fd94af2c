#include "camsimwall.h"

#include "model/localserver.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

namespace Bench {

using OrvantaClient::API::LocalServer;

namespace {

QJsonObject config(int cameras)
{
    QJsonArray list;
    for (int id = 1; id <= cameras; ++id)
        list.append(QJsonObject{{"id", id}, {"name", QStringLiteral("Cam %1").arg(id)}});
    return QJsonObject{
        {"cheap", true},
        {"cloudServers", QJsonArray()}, // nothing else to encode a loop for
        {"localServers", QJsonArray{QJsonObject{{"name", "Wall"}, {"password", "wall"}, {"cameras", list}}}},
    };
}

} // namespace

CamsimWall::CamsimWall(int cameras) : m_cameras(cameras) {}

CamsimWall::~CamsimWall()
{
    stop();
}

bool CamsimWall::start(const QString& camsimProgram)
{
    QFile file(m_dir.filePath(QStringLiteral("camsim.json")));
    if (!m_dir.isValid() || !file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write camsim's configuration\n");
        return false;
    }
    file.write(QJsonDocument(config(m_cameras)).toJson());
    file.close();
    m_camsim.start(camsimProgram, {QStringLiteral("--config"), file.fileName(), QStringLiteral("--cheap"),
                                   QStringLiteral("--quiet")});
    QByteArray says;
    QElapsedTimer clock;
    clock.start();
    // Encoding the loop takes a while on a busy machine.
    const QRegularExpression portLine(QStringLiteral("control on port (\\d+), local servers on (\\d+)"));
    QRegularExpressionMatch match;
    while (!(match = portLine.match(QString::fromLatin1(says))).hasMatch() && clock.elapsed() < 120000
           && m_camsim.state() != QProcess::NotRunning) {
        m_camsim.waitForReadyRead(500);
        says += m_camsim.readAllStandardError();
    }
    if (!match.hasMatch()) {
        std::fprintf(stderr, "camsim did not start: %s\n", says.constData());
        return false;
    }
    m_controlPort = match.captured(1).toInt();

    m_server = std::make_shared<LocalServer>(QStringLiteral("Wall"), QStringLiteral("127.0.0.1"),
                                             match.captured(2).toInt(), QStringLiteral("wall"));
    QEventLoop loop;
    QObject::connect(m_server.get(), &LocalServer::localServerUpdatingFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    m_server->update();
    loop.exec();
    if (m_server->items().size() < m_cameras) {
        std::fprintf(stderr, "the local server did not list its %d cameras\n", m_cameras);
        return false;
    }
    return true;
}

void CamsimWall::stop()
{
    if (m_camsim.state() == QProcess::NotRunning)
        return;
    m_camsim.terminate();
    if (!m_camsim.waitForFinished(5000))
        m_camsim.kill();
    m_camsim.waitForFinished(5000);
}

} // namespace Bench
