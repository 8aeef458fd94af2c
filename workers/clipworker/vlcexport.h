#pragma once

#include "vlcbase.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace VLC {

// Copies a stream into a file through libvlc's stream output. The constructor
// returns when the export is over and its last line ("export-done" or
// "export-error") has been written.
class VlcExport
{
public:
    VlcExport(const QString& source, const QString& destination, int duration, const QString& mux);

    // False when libvlc could not make a player, so nothing was exported.
    bool isValid() const;
    bool succeeded() const;

    // The stream-output option for the player. The destination is quoted so that
    // any path, whatever characters it holds, names exactly that file.
    static QString outputOption(const QString& mux, const QString& destination);

    // An export that has shown no progress for this long has stalled.
    static constexpr int stallSeconds = 60;

private:
    void handleEvent(const libvlc_event_t* event);
    void finish(bool failed);
    void waitUntilFinished();

    VlcBase vlc;
    const qint64 duration;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
    bool failed = false;
    bool progressed = false;
    bool success = false;
};

} // namespace VLC
