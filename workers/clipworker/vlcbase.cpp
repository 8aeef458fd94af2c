#include "vlcbase.h"

#include <QByteArrayList>

#include <vector>

namespace VLC {

VlcBase::VlcBase(const QString& url, const QStringList& options)
{
    QByteArrayList arguments;
    for (const QString& argument : instanceArguments())
        arguments.append(argument.toUtf8());
    std::vector<const char*> argv;
    for (const QByteArray& argument : arguments)
        argv.push_back(argument.constData());
    instance = libvlc_new(int(argv.size()), argv.data());
    if (!instance)
        return;
    player = libvlc_media_player_new(instance);
    if (!player)
        return;
    libvlc_media_t* media = libvlc_media_new_location(instance, url.toUtf8().constData());
    if (!media)
        return;
    for (const QString& option : options) {
        if (!option.isEmpty())
            libvlc_media_add_option(media, option.toUtf8().constData());
    }
    libvlc_media_player_set_media(player, media);
    libvlc_media_release(media);
}

VlcBase::~VlcBase()
{
    detachEvents();
    if (player) {
        libvlc_media_player_stop(player);
        libvlc_media_player_release(player);
    }
    if (instance)
        libvlc_release(instance);
}

QStringList VlcBase::instanceArguments()
{
    // libvlc 3.0 refuses to start with "--ffmpeg-probesize"; its spelling of the
    // same probe size is an avformat option (which its demuxer hands to the
    // codecs, not the format, and reports as unknown: kept for libvlc builds that
    // read it). libvlc's plug-in cache is used: Debian's libvlc-bin rewrites it
    // whenever a plug-in package changes, and without it every worker loaded all
    // 557 plug-ins and their libraries at each start (66 ms of CPU and 38 MB of
    // its own memory, against 3 ms and 2 MB).
    return {QStringLiteral("-I"),
            QStringLiteral("dummy"),
            QStringLiteral("--no-input-record-native"),
            QStringLiteral("--no-osd"),
            QStringLiteral("--no-video-title-show"),
            QStringLiteral("--no-stats"),
            QStringLiteral("--no-drop-late-frames"),
            QStringLiteral("--access=http"),
            QStringLiteral("--demux=ffmpeg"),
            QStringLiteral("--file-caching=0"),
            QStringLiteral("--live-caching=0"),
            QStringLiteral("--network-caching=1000"),
            QStringLiteral("--avformat-options={probesize=1000}")};
}

bool VlcBase::isValid() const
{
    return instance && player;
}

int VlcBase::volume() const
{
    return libvlc_audio_get_volume(player);
}

void VlcBase::setVolume(int volume)
{
    libvlc_audio_set_volume(player, volume);
}

int VlcBase::audioTrack() const
{
    return libvlc_audio_get_track(player);
}

void VlcBase::setAudioTrack(int track)
{
    libvlc_audio_set_track(player, track);
}

int VlcBase::firstAudioTrack() const
{
    libvlc_track_description_t* tracks = libvlc_audio_get_track_description(player);
    int first = -1;
    for (const libvlc_track_description_t* track = tracks; track && first == -1; track = track->p_next) {
        if (track->i_id != -1) // the "Disable" entry
            first = track->i_id;
    }
    libvlc_track_description_list_release(tracks);
    return first;
}

void VlcBase::setPause(bool paused)
{
    libvlc_media_player_set_pause(player, paused ? 1 : 0);
}

libvlc_state_t VlcBase::state() const
{
    return libvlc_media_player_get_state(player);
}

qint64 VlcBase::time() const
{
    return libvlc_media_player_get_time(player);
}

bool VlcBase::isPlaying() const
{
    return libvlc_media_player_is_playing(player) != 0;
}

void VlcBase::play()
{
    libvlc_media_player_play(player);
}

void VlcBase::stop()
{
    libvlc_media_player_stop(player);
}

void VlcBase::setVideoCallbacks(libvlc_video_lock_cb lock, libvlc_video_unlock_cb unlock,
                                libvlc_video_display_cb display, void* opaque)
{
    libvlc_video_set_callbacks(player, lock, unlock, display, opaque);
}

void VlcBase::setVideoFormatCallbacks(libvlc_video_format_cb format, libvlc_video_cleanup_cb cleanup)
{
    libvlc_video_set_format_callbacks(player, format, cleanup);
}

void VlcBase::attachEvents(const QVector<libvlc_event_e>& events, EventHandler handler)
{
    detachEvents();
    eventHandler = std::move(handler);
    libvlc_event_manager_t* manager = libvlc_media_player_event_manager(player);
    for (libvlc_event_e type : events) {
        if (libvlc_event_attach(manager, type, &VlcBase::dispatchEvent, this) == 0)
            attachedEvents.append(type);
    }
}

// Once this returns no handler runs any more, so the owner may go away.
void VlcBase::detachEvents()
{
    if (!player)
        return;
    libvlc_event_manager_t* manager = libvlc_media_player_event_manager(player);
    for (libvlc_event_e type : qAsConst(attachedEvents))
        libvlc_event_detach(manager, type, &VlcBase::dispatchEvent, this);
    attachedEvents.clear();
}

void VlcBase::dispatchEvent(const libvlc_event_t* event, void* data)
{
    const auto* self = static_cast<VlcBase*>(data);
    if (self->eventHandler)
        self->eventHandler(event);
}

QSize VlcBase::videoTrackSize() const
{
    QSize size;
    libvlc_media_t* media = libvlc_media_player_get_media(player);
    if (!media)
        return size;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    for (unsigned i = 0; i < count && !size.isValid(); ++i) {
        const libvlc_media_track_t* track = tracks[i];
        if (track->i_type == libvlc_track_video && track->video && track->video->i_width > 0
            && track->video->i_height > 0)
            size = QSize(int(track->video->i_width), int(track->video->i_height));
    }
    if (tracks)
        libvlc_media_tracks_release(tracks, count);
    libvlc_media_release(media);
    return size;
}

} // namespace VLC
