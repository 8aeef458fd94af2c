#include "vlcexport.h"

#include "statusoutput.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <chrono>

namespace VLC {

namespace {

bool validMux(const QString& mux)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_]+$"));
    return name.match(mux).hasMatch();
}

} // namespace

QString VlcExport::outputOption(const QString& mux, const QString& destination)
{
    QString quoted = destination;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1String(":sout=#std{access=file,mux=") + mux + QLatin1String(",dst='") + quoted
           + QLatin1String("'}");
}

VlcExport::VlcExport(const QString& source, const QString& destination, int duration, const QString& mux)
    : vlc(source, {outputOption(mux, destination)})
    , duration(duration)
{
    if (!vlc.isValid())
        return;
    if (!validMux(mux)) {
        StatusOutput::writeError("Not a multiplexer name: " + mux.toUtf8());
        StatusOutput::writeLine(QByteArrayLiteral("export-error"));
        return;
    }
    vlc.attachEvents({libvlc_MediaPlayerOpening, libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
                      libvlc_MediaPlayerTimeChanged},
                     [this](const libvlc_event_t* event) { handleEvent(event); });
    vlc.play();
    waitUntilFinished();
    // The container is complete only once the player has stopped: that is when the
    // muxer writes its index and closes the file.
    vlc.detachEvents();
    vlc.stop();
    const QFileInfo written(destination);
    success = !failed && written.isFile() && written.size() > 0;
    if (!failed && !success)
        StatusOutput::writeError("Export left no file at " + destination.toUtf8());
    StatusOutput::writeLine(success ? QByteArrayLiteral("export-done") : QByteArrayLiteral("export-error"));
}

bool VlcExport::isValid() const
{
    return vlc.isValid();
}

bool VlcExport::succeeded() const
{
    return success;
}

void VlcExport::waitUntilFinished()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished) {
        progressed = false;
        if (!finishedChanged.wait_for(lock, std::chrono::seconds(stallSeconds), [this] { return finished || progressed; })) {
            StatusOutput::writeError("Export stalled: no progress for " + QByteArray::number(stallSeconds) + " s");
            failed = true;
            return;
        }
    }
}

void VlcExport::finish(bool withFailure)
{
    {
        std::lock_guard<std::mutex> guard(mutex);
        finished = true;
        failed = failed || withFailure;
    }
    finishedChanged.notify_one();
}

// Runs on libvlc's event thread: it only reports and wakes the waiting thread.
void VlcExport::handleEvent(const libvlc_event_t* event)
{
    switch (event->type) {
    case libvlc_MediaPlayerOpening:
        StatusOutput::writeLine(QByteArrayLiteral("export-start"));
        break;
    case libvlc_MediaPlayerEncounteredError:
        finish(true);
        break;
    case libvlc_MediaPlayerEndReached:
        finish(false);
        break;
    case libvlc_MediaPlayerTimeChanged: {
        const qint64 time = event->u.media_player_time_changed.new_time;
        if (duration > 0 && time < duration) {
            StatusOutput::writeLine("export-percent", qMax<qint64>(0, time) * 100 / duration);
            {
                std::lock_guard<std::mutex> guard(mutex);
                progressed = true;
            }
            finishedChanged.notify_one();
        } else {
            finish(false);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace VLC
