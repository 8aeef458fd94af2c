#include "statusreader.h"

#include <QDebug>
#include <QStringList>

namespace OrvantaClient::GUI::Player {

namespace {

void badInput(const QString& line)
{
    qDebug() << "Bad VLC input" << line;
}

} // namespace

StatusReader::StatusReader(qint64 frameCapacity)
    : frameCapacity(frameCapacity)
{
}

void StatusReader::reset()
{
    pending.clear();
}

StatusBatch StatusReader::read(const QByteArray& bytes)
{
    StatusBatch batch;
    const int nul = bytes.indexOf('\0');
    pending += nul < 0 ? bytes : bytes.left(nul);
    const int lastNewline = pending.lastIndexOf('\n');
    if (lastNewline < 0) {
        if (pending.size() > maximumPendingBytes) {
            qDebug() << "Dropping overlong worker output of" << pending.size() << "bytes";
            pending.clear();
        }
        return batch;
    }
    const QString text = QString::fromLatin1(pending.constData(), lastNewline).trimmed();
    pending.remove(0, lastNewline + 1);
    for (const QString& part : text.split(QLatin1Char('\n')))
        readLine(part.trimmed(), batch);
    return batch;
}

void StatusReader::readLine(const QString& line, StatusBatch& batch) const
{
    const QStringList words = line.split(QLatin1Char(' '));
    const QString& keyword = words.first();
    StatusEvent event;
    bool ok = false;
    if (keyword == QLatin1String("frame")) {
        ++batch.frames;
        return;
    }
    if (keyword == QLatin1String("time")) {
        if (words.size() < 2)
            return badInput(line);
        event.kind = StatusEvent::Time;
        event.time = words.at(1).toLongLong(&ok);
        if (!ok || event.time <= 0)
            return;
    } else if (keyword == QLatin1String("absolute-time")) {
        if (words.size() < 2)
            return badInput(line);
        const qint64 milliseconds = words.at(1).toLongLong(&ok);
        if (!ok)
            return badInput(line);
        event.kind = StatusEvent::AbsoluteTime;
        event.dateTime = QDateTime::fromSecsSinceEpoch(milliseconds / 1000);
    } else if (keyword == QLatin1String("state")) {
        if (words.size() < 2)
            return badInput(line);
        event.kind = StatusEvent::State;
        event.state = words.at(1);
    } else if (keyword == QLatin1String("size")) {
        bool heightOk = false;
        const int width = words.size() >= 3 ? words.at(1).toInt(&ok) : 0;
        const int height = words.size() >= 3 ? words.at(2).toInt(&heightOk) : 0;
        // The picture is built straight over the mapping: a geometry that does not
        // fit it must never reach the widget.
        if (!ok || !heightOk || width <= 0 || height <= 0 || qint64(width) * height * 4 > frameCapacity)
            return badInput(line);
        event.kind = StatusEvent::Size;
        event.width = width;
        event.height = height;
    } else if (keyword == QLatin1String("source")) {
        // The stream's own picture size, of which "size" may be a reduction: only
        // compared, never drawn, so any positive size will do.
        bool heightOk = false;
        const int width = words.size() >= 3 ? words.at(1).toInt(&ok) : 0;
        const int height = words.size() >= 3 ? words.at(2).toInt(&heightOk) : 0;
        if (!ok || !heightOk || width <= 0 || height <= 0)
            return badInput(line);
        event.kind = StatusEvent::Source;
        event.width = width;
        event.height = height;
    } else {
        return;
    }
    batch.events.append(event);
}

} // namespace OrvantaClient::GUI::Player
