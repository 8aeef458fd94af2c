#pragma once

#include "streambase.h"
#include "vlcbase.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace VLC {

// Plays one stream URL through libvlc straight into the frame file.
class Clipworker : public StreamBase
{
public:
    // Empty options are skipped.
    Clipworker(const QString& url, const QString& frameFileName, const QStringList& options);
    ~Clipworker() override;

    // False when libvlc could not make a player; nothing plays then.
    bool isValid() const;

    void setPaused(bool paused) override;
    void setVolume(int volume) override;

private:
    static unsigned formatCallback(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                   unsigned* pitches, unsigned* lines);
    static void* lockCallback(void* opaque, void** planes);
    static void displayCallback(void* opaque, void* picture);

    void handleEvent(const libvlc_event_t* event);
    void requestApply();
    void applyLoop();
    void applySettings();

    std::atomic<int> requestedVolume{-1};
    std::atomic<bool> volumePending{false};
    std::atomic<bool> paused{false};
    VlcBase vlc;

    // libvlc must not be called from its own event thread, so every event only
    // wakes this thread, which re-applies the volume and the pause state.
    std::mutex applyMutex;
    std::condition_variable applyWake;
    bool applyRequested = false;
    bool applyStopping = false;
    std::thread applier;
};

} // namespace VLC
