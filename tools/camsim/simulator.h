#pragma once

#include "cameraroutes.h"
#include "faults.h"
#include "scenario.h"

#include <QJsonArray>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

namespace Camsim {

class CloudService;
class FlvLoop;
class HttpServer;
class LocalVideoServer;
struct Request;

// The simulated world on loopback: one cloud service, the local video servers
// of the scenario, and a control port for tests (faults, request log).
class Simulator : public QObject
{
    Q_OBJECT
public:
    explicit Simulator(const Scenario& scenario, QObject* parent = nullptr);
    ~Simulator() override;

    // Listens on every port (portBase, when not 0, numbers the servers whose
    // port is not fixed: cloud, control, then the local servers in order).
    bool start(quint16 portBase = 0);
    QString errorString() const { return m_error; }

    QUrl cloudUrl() const;
    quint16 controlPort() const;
    QList<quint16> localPorts() const;
    const Scenario& scenario() const { return m_scenario; }

    Faults faults() const { return m_faults; }
    void setFaults(const Faults& faults);

    // Every request so far, as logged (newest last, at most 2000).
    QJsonArray requestLog() const { return m_log; }
    void setPrintLog(bool print) { m_printLog = print; }

    // A working folder for the client: deployment.ini, the demo account
    // remembered in OrvantaClient.ini, and local_roster.txt.
    bool writeWorkDir(const QString& dir) const;

signals:
    void requestLogged(QJsonObject line);

private:
    void logRequest(const QString& server, const Request& request);
    void logLine(const QJsonObject& line);
    CameraRoutes::Context context() const;
    bool prepareLoops();

    Scenario m_scenario;
    QTemporaryDir m_scratch;
    std::unique_ptr<CloudService> m_cloud;
    QList<std::shared_ptr<LocalVideoServer>> m_locals;
    HttpServer* m_cloudServer = nullptr;
    HttpServer* m_controlServer = nullptr;
    QList<HttpServer*> m_localServers;
    // Held for camsim's life: the streams of a loop share it.
    QList<std::shared_ptr<const FlvLoop>> m_loops;
    Faults m_faults;
    QJsonArray m_log;
    bool m_printLog = false;
    QString m_error;
};

} // namespace Camsim
