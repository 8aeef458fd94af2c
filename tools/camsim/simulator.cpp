#include "simulator.h"

#include "cloudservice.h"
#include "flvlivestream.h"
#include "flvloop.h"
#include "flvstream.h"
#include "hostileanswer.h"
#include "httpserver.h"
#include "localvideoserver.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <cstdio>

namespace Camsim {

Simulator::Simulator(const Scenario& scenario, QObject* parent)
    : QObject(parent)
    , m_scenario(scenario)
    , m_cloud(std::make_unique<CloudService>(&m_scenario))
    , m_faults(Faults::fromJson(scenario.faults))
{
    qRegisterMetaType<Camsim::Request>("Camsim::Request");
    FlvLiveStream::clockMs(); // live loops run from camsim's start
}

Simulator::~Simulator() = default;

CameraRoutes::Context Simulator::context() const
{
    CameraRoutes::Context context;
    context.workDir = m_scratch.path();
    context.cheap = m_scenario.cheap;
    context.faults = m_faults;
    auto* self = const_cast<Simulator*>(this);
    context.owner = self;
    context.note = [self](const QJsonObject& line) { self->logLine(line); };
    return context;
}

namespace {

// The misbehaviours that replace an answer.
bool faultyAnswer(const Faults& faults, bool cloud, Response& response)
{
    if (!faults.appliesTo(cloud))
        return false;
    if (faults.status500) {
        response = Response::json(R"({"error":"simulated failure"})", 500);
        return true;
    }
    if (faults.garbage) {
        response = {200, "application/json", QByteArray("\x01<html>not json", 15), {}, {}};
        return true;
    }
    return false;
}

} // namespace

bool Simulator::start(quint16 portBase)
{
    if (!m_faults.answer.isEmpty() && !HostileAnswer::modes().contains(m_faults.answer)) {
        m_error = QStringLiteral("unknown answer fault %1; known: %2").arg(m_faults.answer, HostileAnswer::modes().join(", "));
        return false;
    }
    if (!m_scratch.isValid()) {
        m_error = QStringLiteral("cannot create a scratch folder");
        return false;
    }
    auto portFor = [portBase](quint16 fixed, int index) -> quint16 {
        return fixed != 0 ? fixed : portBase != 0 ? quint16(portBase + index) : 0;
    };

    m_cloudServer = new HttpServer(QStringLiteral("cloud"), this);
    m_cloudServer->setHandler([this](const Request& request) {
        Response response;
        if (faultyAnswer(m_faults, true, response))
            return response;
        response = m_cloud->handle(request, context());
        if (m_faults.appliesTo(true))
            HostileAnswer::apply(m_faults.answer, request, response);
        return response;
    });
    connect(m_cloudServer, &HttpServer::requestReceived, this,
            [this](const Request& request) { logRequest(QStringLiteral("cloud"), request); });
    if (!m_cloudServer->listen(portFor(m_scenario.port, 0))) {
        m_error = QStringLiteral("cannot listen for the cloud service");
        return false;
    }

    m_controlServer = new HttpServer(QStringLiteral("control"), this);
    m_controlServer->setHandler([this](const Request& request) {
        if (request.path == "/faults" && request.method == "POST") {
            const Faults faults = Faults::fromJson(QJsonDocument::fromJson(request.body).object());
            if (!faults.answer.isEmpty() && !HostileAnswer::modes().contains(faults.answer))
                return Response::json(QJsonDocument(QJsonObject{{"error", "unknown answer"},
                                                                {"answers", QJsonArray::fromStringList(HostileAnswer::modes())}})
                                          .toJson(QJsonDocument::Compact),
                                      400);
            setFaults(faults);
            return Response::json(QJsonDocument(m_faults.toJson()).toJson(QJsonDocument::Compact));
        }
        if (request.path == "/faults")
            return Response::json(QJsonDocument(m_faults.toJson()).toJson(QJsonDocument::Compact));
        if (request.path == "/requests")
            return Response::json(QJsonDocument(m_log).toJson(QJsonDocument::Compact));
        return Response::json("{}", 404);
    });
    if (!m_controlServer->listen(portFor(0, 1))) {
        m_error = QStringLiteral("cannot listen for control");
        return false;
    }

    for (int i = 0; i < m_scenario.localServers.size(); ++i) {
        ServerSpec& spec = m_scenario.localServers[i];
        auto* server = new HttpServer(QStringLiteral("local-%1").arg(i), this);
        if (!server->listen(portFor(spec.port, 2 + i))) {
            m_error = QStringLiteral("cannot listen for local server %1").arg(spec.name);
            return false;
        }
        spec.port = server->port();
        auto local = std::make_shared<LocalVideoServer>(spec);
        const QString serverId = QStringLiteral("127.0.0.1:%1").arg(spec.port);
        server->setHandler([this, local, serverId](const Request& request) {
            Response response;
            if (faultyAnswer(m_faults, false, response))
                return response;
            response = local->handle(request, context(), serverId);
            if (m_faults.appliesTo(false))
                HostileAnswer::apply(m_faults.answer, request, response);
            return response;
        });
        connect(server, &HttpServer::requestReceived, this,
                [this, serverId](const Request& request) { logRequest(serverId, request); });
        m_locals << local;
        m_localServers << server;
    }

    if (m_scenario.cheap && !prepareLoops())
        return false;
    setFaults(m_faults);
    return true;
}

bool Simulator::prepareLoops()
{
    QList<const CameraSpec*> cameras;
    for (const ServerSpec& server : qAsConst(m_scenario.cloudServers))
        for (const CameraSpec& camera : server.cameras)
            cameras << &camera;
    for (const ServerSpec& server : qAsConst(m_scenario.localServers))
        for (const CameraSpec& camera : server.cameras)
            cameras << &camera;
    // One loop per picture size and rate any stream can be asked for, encoded
    // once, and read now so that a bad one stops camsim rather than a stream.
    QSet<QString> encoded;
    for (const CameraSpec* camera : qAsConst(cameras)) {
        for (int quality = 0; quality < CameraRoutes::qualities; ++quality) {
            const QSize size = CameraRoutes::streamSize(*camera, quality);
            const QString name = CameraRoutes::loopFileName(size, camera->fps);
            if (encoded.contains(name))
                continue;
            encoded.insert(name);
            const QString file = m_scratch.filePath(name);
            if (!FlvStream::encodeLoop(size, camera->fps, file)) {
                m_error = QStringLiteral("cannot encode the loop %1 (is ffmpeg installed?)").arg(file);
                return false;
            }
            std::shared_ptr<const FlvLoop> loop = FlvLoop::load(file, &m_error);
            if (!loop)
                return false;
            m_loops << loop;
        }
    }
    return true;
}

QUrl Simulator::cloudUrl() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_cloudServer ? m_cloudServer->port() : 0);
    return url;
}

quint16 Simulator::controlPort() const
{
    return m_controlServer ? m_controlServer->port() : 0;
}

QList<quint16> Simulator::localPorts() const
{
    QList<quint16> ports;
    for (const HttpServer* server : m_localServers)
        ports << server->port();
    return ports;
}

void Simulator::setFaults(const Faults& faults)
{
    m_faults = faults;
    auto apply = [&faults](HttpServer* server, bool cloud) {
        const bool on = faults.appliesTo(cloud);
        server->setDelay(on ? faults.delayMs : 0);
        server->setStalling(on && faults.stall);
        server->setRefusing(on && faults.refuse);
    };
    if (m_cloudServer)
        apply(m_cloudServer, true);
    for (HttpServer* server : qAsConst(m_localServers))
        apply(server, false);
}

void Simulator::logRequest(const QString& server, const Request& request)
{
    QJsonArray query;
    for (const auto& item : request.query)
        query.append(QJsonArray{item.first, item.second});
    const QJsonObject line{{"server", server},
                           {"method", QString::fromLatin1(request.method)},
                           {"path", QString::fromUtf8(request.path)},
                           {"target", QString::fromUtf8(request.target)},
                           {"query", query},
                           {"body", QString::fromUtf8(request.body.left(4096))}};
    logLine(line);
}

void Simulator::logLine(const QJsonObject& line)
{
    m_log.append(line);
    while (m_log.size() > 2000)
        m_log.removeFirst();
    if (m_printLog) {
        std::fprintf(stdout, "%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
        std::fflush(stdout);
    }
    emit requestLogged(line);
}

bool Simulator::writeWorkDir(const QString& dir) const
{
    if (!QDir().mkpath(dir))
        return false;
    const QString base = cloudUrl().toString();
    QSaveFile deployment(dir + QStringLiteral("/deployment.ini"));
    if (!deployment.open(QIODevice::WriteOnly))
        return false;
    deployment.write("[service]\napi=" + base.toUtf8() + "\nstreaming=" + base.toUtf8() + "\nweb=" + base.toUtf8()
                     + "\n");
    if (!deployment.commit())
        return false;

    if (!m_scenario.accounts.isEmpty()) {
        // Other settings of the folder are kept; the demo account is remembered.
        QSettings settings(dir + QStringLiteral("/OrvantaClient.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("auth/email"), m_scenario.accounts.first().email);
        settings.setValue(QStringLiteral("auth/password"), m_scenario.accounts.first().password);
        settings.setValue(QStringLiteral("auth/saveAuth"), true);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
        QFile::setPermissions(settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    QJsonArray roster;
    for (const ServerSpec& server : m_scenario.localServers)
        roster.append(QJsonObject{{"ip", "127.0.0.1"}, {"port", server.port}, {"name", server.name},
                                  {"password", server.password}});
    QSaveFile rosterFile(dir + QStringLiteral("/local_roster.txt"));
    if (!rosterFile.open(QIODevice::WriteOnly))
        return false;
    rosterFile.write(QJsonDocument(roster).toJson(QJsonDocument::Indented));
    return rosterFile.commit();
}

} // namespace Camsim
