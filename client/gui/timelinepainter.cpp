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

QList<QPair<int, int>> TimelinePainter::bars(const TimelineRange& range, int width, const QList<Records>& records)
{
    QList<QPair<int, int>> spans;
    const QDateTime start = range.start();
    const QDateTime end = range.end();
    for (const Records& list : records) {
        for (const API::ArchiveRecord& record : list) {
            if (record.end <= start || record.start >= end)
                continue;
            const int left = range.x(qMax(record.start, start), width);
            const int right = range.x(qMin(record.end, end), width);
            spans.append({left, qMax(right, left + 1)}); // a short record still shows
        }
    }
    std::sort(spans.begin(), spans.end());
    QList<QPair<int, int>> merged;
    for (const auto& span : qAsConst(spans)) {
        if (!merged.isEmpty() && span.first <= merged.last().second)
            merged.last().second = qMax(merged.last().second, span.second);
        else
            merged.append(span);
    }
    return merged;
}

QImage TimelinePainter::intervals(const TimelineRange& range, const QSize& size, const QList<Records>& layoutRecords,
                                  const Records& selectedRecords, bool several)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (size.isEmpty() || !range.day().isValid())
        return image;
    QPainter painter(&image);
    const int width = size.width();
    if (several)
        fillBars(painter, bars(range, width, layoutRecords), 35, 42, darkTop, darkBottom);
    else
        fillBars(painter, bars(range, width, layoutRecords), 26, 42, darkTop, darkBottom);
    if (!selectedRecords.isEmpty()) {
        const auto selected = bars(range, width, {selectedRecords});
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
            label(x, hourLabel(int(secs % 86400), withMinutes));
    }
    if (range.end() == range.dayEnd()) {
        const int x = range.x(range.end(), width);
        painter.drawLine(x, 0, x, 5);
        const int nextHour = (range.end().time().hour() + 1) * 3600;
        label(x, hourLabel(nextHour, withMinutes));
    }
}

} // namespace OrvantaClient::GUI
