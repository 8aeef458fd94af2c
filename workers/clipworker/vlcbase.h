#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

#include <vlc/vlc.h>

namespace VLC {

// One libvlc instance with one media player on one media. The small operations
// forward to libvlc one call each; none of them may be called from inside a libvlc
// event callback.
class VlcBase
{
public:
    using EventHandler = std::function<void(const libvlc_event_t*)>;

    VlcBase(const QString& url, const QStringList& options);
    virtual ~VlcBase();

    VlcBase(const VlcBase&) = delete;
    VlcBase& operator=(const VlcBase&) = delete;

    // False when libvlc could not make the instance or the player.
    bool isValid() const;
    static QStringList instanceArguments();

    int volume() const;
    void setVolume(int volume);
    // The audio track played, -1 for none; the first track of the stream, -1
    // when it has none (yet).
    int audioTrack() const;
    void setAudioTrack(int track);
    int firstAudioTrack() const;
    void setPause(bool paused);
    libvlc_state_t state() const;
    qint64 time() const;
    bool isPlaying() const;
    void play();
    void stop();
    void setVideoCallbacks(libvlc_video_lock_cb lock, libvlc_video_unlock_cb unlock,
                           libvlc_video_display_cb display, void* opaque);
    void setVideoFormatCallbacks(libvlc_video_format_cb format, libvlc_video_cleanup_cb cleanup);
    // The handler runs on libvlc's event thread.
    void attachEvents(const QVector<libvlc_event_e>& events, EventHandler handler);
    void detachEvents();
    // The picture size of the media's video track, as the stream states it; invalid
    // while libvlc does not know it.
    QSize videoTrackSize() const;

    libvlc_media_player_t* player = nullptr;
    libvlc_instance_t* instance = nullptr;

private:
    static void dispatchEvent(const libvlc_event_t* event, void* data);

    EventHandler eventHandler;
    QVector<libvlc_event_e> attachedEvents;
};

} // namespace VLC
