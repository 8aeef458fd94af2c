#pragma once

#include "picturescaler.h"
#include "streambase.h"
#include "vlcbase.h"

#include <atomic>
#include <chrono>
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
    void setFit(int width, int height) override;

private:
    static unsigned formatCallback(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                   unsigned* pitches, unsigned* lines);
    static void* lockCallback(void* opaque, void** planes);
    static void displayCallback(void* opaque, void* picture);

    void announce(std::chrono::steady_clock::time_point now);
    void handleEvent(const libvlc_event_t* event);
    void requestApply();
    void applyLoop();
    void applySettings();

    // Decoders pad a picture to their block alignment, far less than this.
    static constexpr quint64 maximumPadding = 64;
    // How long set-ups are turned down while the track still describes the former
    // picture; past it the proposal is taken as it is. Only the format callback
    // touches these, and libvlc sets up one picture at a time.
    static constexpr std::chrono::milliseconds trackPatience{2000};
    bool waitingForTrack = false;
    std::chrono::steady_clock::time_point waitingSince;

    // Only libvlc's video output thread touches these, after the format callback.
    PictureScaler scaler;
    QSize announcedSize;
    std::chrono::steady_clock::time_point announcedAt;
    qint64 announcedStreamTime = -1;
    // The stream's time as libvlc last reported it, from its event thread.
    std::atomic<qint64> streamTime{-1};
    // The viewer's box, width in the high half; written by the command reader.
    std::atomic<quint64> fitBox{0};

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
