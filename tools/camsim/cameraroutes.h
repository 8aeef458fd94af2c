#pragma once

#include "faults.h"
#include "httpserver.h"
#include "scenario.h"

namespace Camsim {

// The camera requests that the streaming host and a local video server answer
// alike: preview, archive records and days, PTZ, patrols, live and archive FLV.
class CameraRoutes
{
public:
    struct Context
    {
        QString workDir; // scratch files and, in cheap mode, the pre-encoded loops
        bool cheap = false;
        Faults faults;
        QObject* owner = nullptr;
    };

    // Answers a camera request, or returns status 0 when the path is not one.
    static Response handle(const Request& request, const CameraSpec& camera, const QString& cameraKey,
                           const Context& context);

    // The pre-encoded loop of a camera in cheap mode, inside the work folder.
    static QString loopFileName(const CameraSpec& camera);

    // The size of the stream of quality q: 0 is half, 1 three quarters, 2 full.
    static QSize streamSize(const CameraSpec& camera, int quality);
};

} // namespace Camsim
