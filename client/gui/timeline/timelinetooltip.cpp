#include "timelinetooltip.h"
#include "timelinepainter.h"

#include <QPainter>

#include <algorithm>

namespace OrvantaClient::GUI {

namespace {

// Between the bubble and the buttons it keeps clear of.
constexpr int air = 4;

} // namespace

TimelineTooltip::TimelineTooltip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    resize(sizeHint());
}

QString TimelineTooltip::text() const
{
    return m_text;
}

QSize TimelineTooltip::sizeHint() const
{
    // A time alone keeps one width, however narrow its digits.
    const QString widest = m_text.isEmpty() || m_time.isValid() ? QStringLiteral("00:00:00") : m_text;
    return {fontMetrics().horizontalAdvance(widest) + 12, fontMetrics().height() + 6};
}

QString TimelineTooltip::rangeText(const QDateTime& start, const QDateTime& end)
{
    const QString format = QStringLiteral("hh:mm:ss");
    return start.toString(format) + QString::fromUtf8(" \u2013 ") + end.toString(format) + QStringLiteral(" (")
        + durationText(start.secsTo(end)) + QLatin1Char(')');
}

QString TimelineTooltip::durationText(qint64 secs)
{
    secs = qMax<qint64>(0, secs);
    QStringList parts;
    if (secs >= 3600)
        parts << tr("%1 h").arg(secs / 3600);
    if (secs % 3600 >= 60)
        parts << tr("%1 min").arg(secs % 3600 / 60);
    if (secs % 60 != 0 || parts.isEmpty())
        parts << tr("%1 s").arg(secs % 60);
    return parts.join(QLatin1Char(' '));
}

std::optional<QPoint> TimelineTooltip::clearPlace(const QRect& wanted, const QList<QRect>& obstacles, int minLeft,
                                                  int maxLeft)
{
    if (maxLeft < minLeft)
        return std::nullopt;
    QList<QRect> blocking;
    for (const QRect& obstacle : obstacles) {
        const QRect padded = obstacle.adjusted(-air, -air, air, air);
        if (padded.top() <= wanted.bottom() && padded.bottom() >= wanted.top())
            blocking << padded;
    }
    // The free places nearest to the wanted one touch an obstacle's side.
    QList<int> candidates{qBound(minLeft, wanted.left(), maxLeft)};
    for (const QRect& obstacle : blocking)
        candidates << obstacle.right() + 1 << obstacle.left() - wanted.width();
    std::optional<QPoint> best;
    for (const int left : candidates) {
        if (left < minLeft || left > maxLeft)
            continue;
        const QRect place(QPoint(left, wanted.top()), wanted.size());
        const bool free = std::none_of(blocking.begin(), blocking.end(),
                                       [&place](const QRect& obstacle) { return obstacle.intersects(place); });
        if (free && (!best || qAbs(left - wanted.left()) < qAbs(best->x() - wanted.left())))
            best = QPoint(left, wanted.top());
    }
    return best;
}

void TimelineTooltip::setTime(QTime time)
{
    m_time = time;
    setShownText(time.isValid() ? time.toString(QStringLiteral("hh:mm:ss")) : QString());
}

void TimelineTooltip::setRange(const QDateTime& start, const QDateTime& end)
{
    m_time = QTime();
    setShownText(rangeText(start, end));
}

void TimelineTooltip::setShownText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    resize(sizeHint());
    update();
}

void TimelineTooltip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), TimelinePainter::background);
    painter.setPen(TimelinePainter::accentColor);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace OrvantaClient::GUI
