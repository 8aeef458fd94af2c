#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

namespace OrvantaClient::GUI::Player {

// One status line of a stream worker that survived the reading rules.
struct StatusEvent
{
    enum Kind { Time, AbsoluteTime, State, Size, Source };

    Kind kind = Time;
    qint64 time = 0;       // Time: the worker's position, always > 0
    QDateTime dateTime;    // AbsoluteTime
    QString state;         // State: the state word as the worker wrote it
    int width = 0;         // Size: positive, and the picture fits the frame file;
    int height = 0;        // Source: the stream's own size, positive

    bool isError() const { return kind == State && state == QLatin1String("7"); }
};

// Everything one read of the worker's output brought, in the order it came. Frames
// are only counted: several in one read call for one repaint.
struct StatusBatch
{
    QVector<StatusEvent> events;
    int frames = 0;
};

} // namespace OrvantaClient::GUI::Player
