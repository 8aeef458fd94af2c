#pragma once

#include "cameraroutes.h"
#include "httpserver.h"
#include "scenario.h"

namespace Camsim {

// A video server on the user's network: its stream list, previews, archive,
// PTZ, FLV streams and the raw stream of framepump, checked by password.
class LocalVideoServer
{
public:
    explicit LocalVideoServer(const ServerSpec& spec) : m_spec(spec) {}

    Response handle(const Request& request, const CameraRoutes::Context& context, const QString& serverId);

    static QJsonObject streamJson(const CameraSpec& camera);
    const ServerSpec& spec() const { return m_spec; }

private:
    ServerSpec m_spec;
};

} // namespace Camsim
