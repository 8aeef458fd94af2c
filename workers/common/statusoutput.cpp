#include "statusoutput.h"

#include <cstdio>

namespace VLC {

namespace {
// A namespace-scope object, so that it exists before main and before any thread.
std::mutex outputLock;
} // namespace

std::mutex& StatusOutput::lock()
{
    return outputLock;
}

void StatusOutput::writeLine(const QByteArray& line)
{
    std::lock_guard<std::mutex> guard(outputLock);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void StatusOutput::writeLine(const char* keyword, qint64 value)
{
    QByteArray line(keyword);
    line += ' ';
    line += QByteArray::number(value);
    writeLine(line);
}

void StatusOutput::writeLine(const char* keyword, qint64 first, qint64 second)
{
    QByteArray line(keyword);
    line += ' ';
    line += QByteArray::number(first);
    line += ' ';
    line += QByteArray::number(second);
    writeLine(line);
}

void StatusOutput::writeError(const QByteArray& text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

QByteArray StatusOutput::geometry(qint64 width, qint64 height)
{
    QByteArray text = QByteArray::number(width);
    text += 'x';
    text += QByteArray::number(height);
    return text;
}

} // namespace VLC
