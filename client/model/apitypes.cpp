#include "apitypes.h"

#include "camera.h"

namespace OrvantaClient::API {

void registerMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<CameraPtr>("API::CameraPtr");
        qRegisterMetaType<ServerPtr>("API::ServerPtr");
        qRegisterMetaType<LayoutPtr>("API::LayoutPtr");
        qRegisterMetaType<LayoutCellPoint>("API::LayoutCellPoint");
        qRegisterMetaType<LayoutCellSize>("API::LayoutCellSize");
        qRegisterMetaType<Camera::PtzMoveDirections>("API::Camera::PtzMoveDirections");
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace OrvantaClient::API
