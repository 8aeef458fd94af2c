#pragma once

#include "timelinerange.h"
#include "model/archiverecords.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QVector>

class QPainter;
class QFont;

namespace OrvantaClient::GUI {

// Draws the parts of the timeline that depend only on the visible range and
// the records: the recorded intervals and the hour scale.
class TimelinePainter
{
public:
    using Records = QList<API::ArchiveRecord>;
    // Records as milliseconds since the epoch: local date-times are slow to
    // compare, so they are converted once when the records arrive.
    using Spans = QVector<QPair<qint64, qint64>>;

    static const QColor background;
    static const QColor positionColor;
    static const QColor accentColor;

    static Spans spans(const Records& records);
    // The bars of every camera of the layout (layoutSpans, one list per
    // camera) and, over them, those of the selected camera, on a transparent
    // image of the given size. several: the layout shows more than one camera,
    // which puts the two kinds in separate bands.
    static QImage intervals(const TimelineRange& range, const QSize& size, const QList<Spans>& layoutSpans,
                            const Spans& selectedSpans, bool several);
    static void paintScale(QPainter& painter, const TimelineRange& range, int width, const QFont& widgetFont);
    // Bars in pixels for records clipped to the visible range: overlapping and
    // touching bars are merged, so that a day of short records costs what the
    // visible pixels cost.
    static QList<QPair<int, int>> bars(const TimelineRange& range, int width, const QList<Spans>& spans);
};

} // namespace OrvantaClient::GUI
