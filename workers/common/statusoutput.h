#pragma once

#include <QByteArray>

#include <mutex>

namespace VLC {

// Status lines on standard output. Every thread of a worker writes through here, so
// that a line, its newline and the flush happen under the one process-wide lock and
// lines never interleave. Diagnostics on standard error take no lock.
class StatusOutput
{
public:
    static std::mutex& lock();
    static void writeLine(const QByteArray& line);
    static void writeLine(const char* keyword, qint64 value);
    static void writeLine(const char* keyword, qint64 first, qint64 second);
    static void writeError(const QByteArray& text);
    // "640x480", as diagnostics spell a picture size.
    static QByteArray geometry(qint64 width, qint64 height);
};

} // namespace VLC
