#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <ctime>
#include <iosfwd>
#include <memory>

namespace VLC {

// What both playing workers share: the mapped frame file, the command reader on
// standard input and the keep-alive watchdog that ends a worker whose parent has
// stopped pinging.
class StreamBase
{
public:
    explicit StreamBase(const QString& frameFileName);
    virtual ~StreamBase();

    StreamBase(const StreamBase&) = delete;
    StreamBase& operator=(const StreamBase&) = delete;

    virtual void setPaused(bool paused) = 0;
    virtual void setVolume(int volume) = 0;
    // The box, in pixels, that the viewer shows the picture in; 0 x 0 for the
    // stream's own size. A worker that cannot scale ignores it.
    virtual void setFit(int width, int height);

    // Reads commands until the process ends; never returns.
    [[noreturn]] void readCommands();
    // Reads commands, one a line, until the input ends. The parent writes a few
    // bytes a line: a longer one is no command and is dropped whole, with an error
    // on standard error, rather than held in memory however long it grows.
    void readCommandLines(std::istream& in);
    void dispatchCommand(const QString& line);

    static constexpr size_t maximumCommandLength = 4096;
    // No screen is wider or taller; larger boxes are read as this.
    static constexpr int maximumFitSide = 16384;

    static QString framePath(const QString& frameFileName);

    static constexpr int keepAliveCheckSeconds = 3;
    static constexpr int keepAliveLimitSeconds = 10;

protected:
    // Start of the mapped frame file; null when it could not be opened or mapped.
    uchar* frame = nullptr;
    qint64 frameSize = 0;
    QFile file;

    // True when a width x height picture of 4 bytes a pixel fits the mapping.
    bool frameFits(qint64 width, qint64 height) const;

private:
    void mapFrameFile(const QString& path);
    void startWatchdog();

    // Shared with the detached watchdog thread, which may outlive this object.
    std::shared_ptr<std::atomic<std::time_t>> lastPing;
};

} // namespace VLC
