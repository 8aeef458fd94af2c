#include "clipworker.h"

#include "statusoutput.h"

#include <algorithm>
#include <cstring>

namespace VLC {

Clipworker::Clipworker(const QString& url, const QString& frameFileName, const QStringList& options)
    : StreamBase(frameFileName)
    , vlc(url, options)
{
    if (!vlc.isValid())
        return;
    applier = std::thread([this] { applyLoop(); });
    vlc.attachEvents({libvlc_MediaPlayerNothingSpecial, libvlc_MediaPlayerOpening, libvlc_MediaPlayerBuffering,
                      libvlc_MediaPlayerPlaying, libvlc_MediaPlayerPaused, libvlc_MediaPlayerStopped,
                      libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
                      libvlc_MediaPlayerTimeChanged},
                     [this](const libvlc_event_t* event) { handleEvent(event); });
    vlc.setVideoCallbacks(&Clipworker::lockCallback, nullptr, &Clipworker::displayCallback, this);
    vlc.setVideoFormatCallbacks(&Clipworker::formatCallback, nullptr);
    vlc.play();
}

Clipworker::~Clipworker()
{
    vlc.detachEvents();
    {
        std::lock_guard<std::mutex> guard(applyMutex);
        applyStopping = true;
    }
    applyWake.notify_one();
    if (applier.joinable())
        applier.join();
}

bool Clipworker::isValid() const
{
    return vlc.isValid();
}

void Clipworker::setPaused(bool value)
{
    paused = value;
    vlc.setPause(value);
}

void Clipworker::setVolume(int value)
{
    value = std::clamp(value, 0, 100);
    volumePending = true;
    requestedVolume = value;
    // Before libvlc has an audio output it reports -1 and ignores the value; the
    // next player event applies it again.
    if (vlc.volume() != -1)
        vlc.setVolume(value);
}

unsigned Clipworker::formatCallback(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                    unsigned* pitches, unsigned* lines)
{
    auto* self = static_cast<Clipworker*>(*opaque);
    // libvlc's decoders propose the picture padded to their own alignment and would
    // stretch it into the padding; the track knows the picture's real size. When the
    // size changes within the stream, though, the track still describes the former
    // picture while the new one is set up: it is taken only when it fits the
    // proposal but for the padding.
    const QSize real = self->vlc.videoTrackSize();
    if (real.isValid()) {
        const quint64 padWidth = quint64(*width) - quint64(real.width());
        const quint64 padHeight = quint64(*height) - quint64(real.height());
        if (unsigned(real.width()) <= *width && unsigned(real.height()) <= *height && padWidth <= maximumPadding
            && padHeight <= maximumPadding) {
            if (padWidth || padHeight)
                StatusOutput::writeError("Using the stream's picture size "
                                         + StatusOutput::geometry(real.width(), real.height()) + " instead of "
                                         + StatusOutput::geometry(*width, *height));
            *width = unsigned(real.width());
            *height = unsigned(real.height());
        } else {
            // libvlc learns the new size from this very set-up and states it once it
            // reads on: turned down, the set-up is tried again with a later picture.
            const auto now = std::chrono::steady_clock::now();
            if (!self->waitingForTrack) {
                self->waitingForTrack = true;
                self->waitingSince = now;
                StatusOutput::writeError("Waiting for the stream's picture size: "
                                         + StatusOutput::geometry(*width, *height) + " is set up, the stream states "
                                         + StatusOutput::geometry(real.width(), real.height()));
            }
            if (now - self->waitingSince < trackPatience)
                return 0;
            StatusOutput::writeError("Using the proposed picture size " + StatusOutput::geometry(*width, *height)
                                     + "; the stream states " + StatusOutput::geometry(real.width(), real.height()));
        }
    }
    self->waitingForTrack = false;
    if (!self->frameFits(*width, *height)) {
        StatusOutput::writeError(self->frame ? "Picture of " + StatusOutput::geometry(*width, *height)
                                                   + " does not fit the frame file of "
                                                   + QByteArray::number(self->frameSize) + " bytes"
                                             : QByteArray("No frame file to draw into"));
        StatusOutput::writeLine("state", 7);
        return 0;
    }
    // The decoder's own planar format: libvlc only copies into it, and the scaler
    // converts once, straight to the size the viewer shows.
    std::memcpy(chroma, "I420", 4);
    if (!self->scaler.setSource(QSize(int(*width), int(*height)), pitches, lines))
        return 0;
    // The viewer draws "size"; this tells it how much detail a larger box would get.
    StatusOutput::writeLine("source", int(*width), int(*height));
    self->announcedSize = QSize();
    return 1;
}

void* Clipworker::lockCallback(void* opaque, void** planes)
{
    auto* self = static_cast<Clipworker*>(opaque);
    self->scaler.planes(planes);
    return planes[0];
}

void Clipworker::displayCallback(void* opaque, void*)
{
    auto* self = static_cast<Clipworker*>(opaque);
    const quint64 box = self->fitBox.load();
    const QSize size = PictureScaler::fittedSize(self->scaler.source(), QSize(int(box >> 32), int(box & 0xFFFFFFFFu)));
    // libvlc shows the last picture again every 80 ms while paused or between
    // the pictures of a slow stream: only a new one, or a new size, is drawn.
    const bool isNew = self->scaler.takeNewPicture();
    const auto now = std::chrono::steady_clock::now();
    if (!isNew && size == self->announcedSize) {
        // A stream of identical pictures (a still scene, a server's "no signal"
        // slate) still plays: while its time moves on, the picture is announced
        // again once a second so the viewer does not take it for frozen. A stream
        // that has stopped coming keeps its time and stays silent.
        const qint64 time = self->streamTime.load();
        if (time == self->announcedStreamTime || now - self->announcedAt < std::chrono::seconds(1))
            return;
        self->announce(now);
        return;
    }
    if (!self->scaler.render(self->frame, size)) {
        StatusOutput::writeError("Can't convert the picture of " + StatusOutput::geometry(size.width(), size.height()));
        return;
    }
    if (size != self->announcedSize) {
        StatusOutput::writeLine("size", size.width(), size.height());
        self->announcedSize = size;
    }
    self->announce(now);
}

void Clipworker::announce(std::chrono::steady_clock::time_point now)
{
    announcedAt = now;
    announcedStreamTime = streamTime.load();
    StatusOutput::writeLine(QByteArrayLiteral("frame"));
}

void Clipworker::setFit(int width, int height)
{
    fitBox.store(quint64(quint32(width)) << 32 | quint32(height));
}

void Clipworker::handleEvent(const libvlc_event_t* event)
{
    requestApply();
    switch (event->type) {
    case libvlc_MediaPlayerNothingSpecial:
    case libvlc_MediaPlayerOpening:
    case libvlc_MediaPlayerBuffering:
    case libvlc_MediaPlayerPlaying:
    case libvlc_MediaPlayerPaused:
    case libvlc_MediaPlayerStopped:
        StatusOutput::writeLine("state", event->type - libvlc_MediaPlayerNothingSpecial);
        break;
    case libvlc_MediaPlayerEndReached:
    // A stream that cannot be opened (refused, an error answer, no video in
    // it) ends the player too: said at once, the cell need not wait for a
    // picture that cannot come.
    case libvlc_MediaPlayerEncounteredError:
        StatusOutput::writeLine("state", 7);
        break;
    case libvlc_MediaPlayerTimeChanged:
        streamTime.store(event->u.media_player_time_changed.new_time);
        StatusOutput::writeLine("time", event->u.media_player_time_changed.new_time);
        break;
    default:
        break;
    }
}

void Clipworker::requestApply()
{
    {
        std::lock_guard<std::mutex> guard(applyMutex);
        applyRequested = true;
    }
    applyWake.notify_one();
}

void Clipworker::applyLoop()
{
    std::unique_lock<std::mutex> lock(applyMutex);
    for (;;) {
        applyWake.wait(lock, [this] { return applyRequested || applyStopping; });
        if (applyStopping)
            return;
        applyRequested = false;
        lock.unlock();
        applySettings();
        lock.lock();
    }
}

// Events come often (every time change), so a burst of them costs one round here.
// This repairs a volume or pause that arrived before libvlc could take it.
void Clipworker::applySettings()
{
    // Sound nobody hears is not decoded: a cell heard at 0 (every cell of a wall
    // but the chosen one) plays without its audio track, and gets it back with
    // the first volume above 0.
    const int volume = requestedVolume;
    const int track = vlc.audioTrack();
    if (volume == 0 && track != -1) {
        vlc.setAudioTrack(-1);
    } else if (volume > 0 && track == -1) {
        const int first = vlc.firstAudioTrack();
        if (first != -1)
            vlc.setAudioTrack(first);
    }
    if (volumePending) {
        if (vlc.volume() == requestedVolume)
            volumePending = false;
        else
            vlc.setVolume(requestedVolume);
    }
    vlc.setPause(paused);
}

} // namespace VLC
