#include "timelinepainter.h"
#include "timelinescale.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace OrvantaClient::GUI {

const QColor TimelinePainter::background(41, 44, 49);
const QColor TimelinePainter::positionColor(223, 72, 72);
const QColor TimelinePainter::accentColor(62, 183, 253);

namespace {

const QColor darkTop(85, 88, 95);
const QColor darkBottom(74, 77, 84);
const QColor lightTop(128, 132, 141);
const QColor lightBottom(105, 109, 116);
const QColor scaleColor(105, 106, 109);
constexpr int labelBaseline = 18;

void fillBars(QPainter& painter, const QList<QPair<int, int>>& bars, int top, int bottom, const QColor& topColor,
              const QColor& bottomColor)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, topColor);
    gradient.setColorAt(1, bottomColor);
    const QBrush brush(gradient);
    for (const auto& bar : bars)
        painter.fillRect(QRect(bar.first, top, bar.second - bar.first, bottom - top), brush);
}

QString hourLabel(int secsOfDay, bool withMinutes)
{
    const QString hours = QStringLiteral("%1").arg(secsOfDay / 3600, 2, 10, QLatin1Char('0'));
    if (!withMinutes)
        return hours;
    return hours + QStringLiteral(":%1").arg(secsOfDay % 3600 / 60, 2, 10, QLatin1Char('0'));
}

} // namespace

// Each conversion of a local date-time to the epoch asks the time zone again,
// which costs microseconds; a day without a clock change has one offset from
// UTC for all its records, and its wall-clock times convert by arithmetic.
TimelinePainter::Spans TimelinePainter::spans(const Records& records)
{
    Spans converted;
    if (records.isEmpty())
        return converted;
    converted.reserve(records.size());
    const QDate day = records.first().start.date();
    const int offset = QDateTime(day, QTime(0, 0)).offsetFromUtc();
    const bool steady = offset == QDateTime(day, QTime(23, 59, 59, 999)).offsetFromUtc();
    const qint64 dayStart = QDateTime(day, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch() - offset * 1000LL;
    auto msecs = [&](const QDateTime& t) {
        if (steady && t.date() == day)
            return dayStart + t.time().msecsSinceStartOfDay();
        return t.toMSecsSinceEpoch();
    };
    for (const API::ArchiveRecord& record : records)
        converted.append({msecs(record.start), msecs(record.end)});
    return converted;
}

QList<QPair<int, int>> TimelinePainter::bars(const TimelineRange& range, int width, const QList<Spans>& spans)
{
    QVector<QPair<int, int>> pixels;
    const qint64 start = range.start().toMSecsSinceEpoch();
    const qint64 end = range.end().toMSecsSinceEpoch();
    if (end <= start)
        return {};
    const double pixelsPerMs = double(width - TimelineRange::axisMargins) / (end - start);
    auto xOf = [&](qint64 ms) { return qRound((ms - start) * pixelsPerMs) + TimelineRange::axisLeft; };
    for (const Spans& list : spans) {
        for (const auto& record : list) {
            if (record.second <= start || record.first >= end)
                continue;
            const int left = xOf(qMax(record.first, start));
            const int right = xOf(qMin(record.second, end));
            pixels.append({left, qMax(right, left + 1)}); // a short record still shows
        }
    }
    std::sort(pixels.begin(), pixels.end());
    QList<QPair<int, int>> merged;
    for (const auto& bar : qAsConst(pixels)) {
        if (!merged.isEmpty() && bar.first <= merged.last().second)
            merged.last().second = qMax(merged.last().second, bar.second);
        else
            merged.append(bar);
    }
    return merged;
}

QImage TimelinePainter::intervals(const TimelineRange& range, const QSize& size, const QList<Spans>& layoutSpans,
                                  const Spans& selectedSpans, bool several)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (size.isEmpty() || !range.day().isValid())
        return image;
    QPainter painter(&image);
    const int width = size.width();
    if (several)
        fillBars(painter, bars(range, width, layoutSpans), 35, 42, darkTop, darkBottom);
    else
        fillBars(painter, bars(range, width, layoutSpans), 26, 42, darkTop, darkBottom);
    if (!selectedSpans.isEmpty()) {
        const auto selected = bars(range, width, {selectedSpans});
        if (several)
            fillBars(painter, selected, 26, 33, lightTop, lightBottom);
        else
            fillBars(painter, selected, 26, 42, lightTop, lightBottom);
    }
    return image;
}

void TimelinePainter::paintScale(QPainter& painter, const TimelineRange& range, int width, const QFont& widgetFont)
{
    const qint64 span = range.span();
    if (span <= 0 || width <= TimelineRange::axisMargins)
        return;
    QFont font = widgetFont;
    font.setPointSize(9);
    painter.setFont(font);
    painter.setPen(QPen(scaleColor, 1));
    const QFontMetrics metrics(font);
    const int labelsFit = (width - TimelineRange::axisMargins) / qMax(1, metrics.horizontalAdvance(QStringLiteral(" 00:00 ")));
    const TimelineScale scale = TimelineScale::choose(labelsFit, span);
    const bool withMinutes = scale.labelSecs < 3600;

    // Ticks counted in seconds of the day: cheaper than date arithmetic, and
    // the labels are the seconds themselves.
    const qint64 startSecs = range.dayStart().secsTo(range.start());
    const qint64 endSecs = range.dayStart().secsTo(range.end());
    const double pixelsPerSec = double(width - TimelineRange::axisMargins) / span;
    auto xOf = [&](qint64 secs) { return qRound((secs - startSecs) * pixelsPerSec) + TimelineRange::axisLeft; };
    auto label = [&](int x, const QString& text) {
        painter.drawText(x - metrics.horizontalAdvance(text) / 2, labelBaseline, text);
    };

    // On a day whose clocks change, elapsed seconds and the clock part ways
    // after the change; only then is each label asked of the time zone.
    const QDateTime dayStart = range.dayStart();
    const bool steady = dayStart.offsetFromUtc() == range.dayEnd().offsetFromUtc();
    auto clockSecs = [&](qint64 secs) {
        return steady ? int(secs % 86400) : dayStart.addSecs(secs).time().msecsSinceStartOfDay() / 1000;
    };
    const qint64 first = startSecs / 3600 * 3600;
    for (int i = 0;; ++i) {
        const qint64 secs = first + qint64(i) * scale.tickSecs;
        if (secs > endSecs)
            break;
        const int x = xOf(secs);
        if (x <= 14)
            continue;
        painter.drawLine(x, 0, x, scale.tickLength(i) - 1);
        if (scale.isLabelled(i))
            label(x, hourLabel(clockSecs(secs), withMinutes));
    }
    if (range.end() == range.dayEnd()) {
        const int x = range.x(range.end(), width);
        painter.drawLine(x, 0, x, 5);
        const int nextHour = (range.end().time().hour() + 1) * 3600;
        label(x, hourLabel(nextHour, withMinutes));
    }
}

} // namespace OrvantaClient::GUI
