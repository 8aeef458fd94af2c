#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace OrvantaClient::API {
class LocalServer;
}

namespace Bench {

// camsim in cheap mode (640x480 25 fps cameras whose live streams play loops
// pre-encoded at each quality's size) with one local server, "Wall", of 16
// cameras or as many as asked, and that server as the client sees it once it
// has listed its cameras.
class CamsimWall
{
public:
    explicit CamsimWall(int cameras = 16);
    ~CamsimWall();

    // Starts camsim and lists the server; false with a message on stderr.
    bool start(const QString& camsimProgram);
    void stop();

    int pid() const { return int(m_camsim.processId()); }
    int cameras() const { return m_cameras; }
    int controlPort() const { return m_controlPort; }
    std::shared_ptr<OrvantaClient::API::LocalServer> server() const { return m_server; }

private:
    int m_cameras;
    QTemporaryDir m_dir;
    QProcess m_camsim;
    int m_controlPort = 0;
    std::shared_ptr<OrvantaClient::API::LocalServer> m_server;
};

} // namespace Bench
