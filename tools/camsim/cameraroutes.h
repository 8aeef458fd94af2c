#pragma once

#include "faults.h"
#include "httpserver.h"
#include "scenario.h"

#include <QJsonObject>
#include <QSize>
#include <functional>

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
        // Logs a line of what was served beside the request log.
        std::function<void(const QJsonObject&)> note;
    };

    // Answers a camera request, or returns status 0 when the path is not one.
    static Response handle(const Request& request, const CameraSpec& camera, const QString& cameraKey,
                           const Context& context);

    // The pre-encoded loop of a picture size and rate in cheap mode, inside the work folder.
    static QString loopFileName(const QSize& size, int fps);

    // The recorded stretches of [startSecs, endSecs] as (start, length) in
    // seconds, in time order: what an archive stream of that span plays.
    static QList<QPair<qint64, qint64>> recordedStretches(const QString& cameraKey, qint64 startSecs, qint64 endSecs);

    // The size of the stream of quality q: 0 is half, 1 three quarters, 2 full.
    static QSize streamSize(const CameraSpec& camera, int quality);
    static constexpr int qualities = 3;
    // Where a camera's live loop of that length is ahead of the shared clock.
    static qint64 livePhaseMs(const CameraSpec& camera, qint64 loopMs);

private:
    static Response cheapLive(const QSize& size, const CameraSpec& camera, const Context& context);
};

} // namespace Camsim
