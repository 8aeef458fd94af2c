#include "timelinerange.h"

#include <QtMath>

namespace OrvantaClient::GUI {

TimelineRange::TimelineRange(const QDate& day) : m_day(day), m_start(dayStart()), m_end(dayEnd()) {}

int TimelineRange::x(const QDateTime& t, int width) const
{
    const qint64 secs = span();
    if (secs <= 0)
        return axisLeft;
    return qRound(double(m_start.secsTo(t)) / double(secs) * (width - axisMargins)) + axisLeft;
}

QDateTime TimelineRange::t(int x, int width) const
{
    const int axis = width - axisMargins;
    if (axis <= 0)
        return m_start;
    return m_start.addSecs(qRound64(double(span()) * (x - axisLeft) / axis));
}

QDateTime TimelineRange::clampToDay(const QDateTime& t) const
{
    return qBound(dayStart(), t, dayEnd());
}

void TimelineRange::setRange(const QDateTime& start, const QDateTime& end)
{
    m_start = start < dayStart() ? dayStart() : start;
    m_end = end > dayEnd() ? dayEnd() : end;
    if (!(m_start < m_end)) {
        m_start = dayStart();
        m_end = dayEnd();
    }
}

void TimelineRange::moveToDay(const QDate& day)
{
    const QTime startTime = m_start.time();
    const QTime endTime = m_end.time();
    m_day = day;
    setRange(QDateTime(day, startTime), QDateTime(day, endTime));
}

bool TimelineRange::shift(qint64 secs)
{
    secs = qBound(m_start.secsTo(dayStart()), secs, m_end.secsTo(dayEnd()));
    if (secs == 0)
        return false;
    m_start = m_start.addSecs(secs);
    m_end = m_end.addSecs(secs);
    return true;
}

bool TimelineRange::zoomBy(int steps, const QDateTime& anchor, int& level)
{
    bool changed = false;
    for (int i = 0; i < qAbs(steps); ++i)
        changed = zoomStep(steps > 0, anchor, level) || changed;
    return changed;
}

bool TimelineRange::zoomStep(bool in, const QDateTime& requested, int& level)
{
    // An anchor off the visible range would move both ends the same way.
    const QDateTime anchor = qBound(m_start, requested, m_end);
    if (!in && isWholeDay()) {
        level = 0;
        return false;
    }
    const qint64 secs = span();
    if (in && secs < closestSpanSecs) {
        level = maxLevel;
        return false;
    }
    const qint64 left = qRound64(double(m_start.secsTo(anchor)) / secs * stepSecs);
    const qint64 right = qRound64(double(anchor.secsTo(m_end)) / secs * stepSecs);
    if (in)
        setRange(m_start.addSecs(left), m_end.addSecs(-right));
    else
        setRange(m_start.addSecs(-left), m_end.addSecs(right));
    // Rounding leaves a few seconds short of the day after zooming all the
    // way out; level 0 is the whole day.
    if (!in && span() > dayStart().secsTo(dayEnd()) - stepSecs / 2)
        setRange(dayStart(), dayEnd());
    level = levelOf(span());
    return true;
}

int TimelineRange::levelOf(qint64 spanSecs)
{
    return qBound(0, maxLevel - qRound(double(spanSecs - 600) / 858.0), maxLevel);
}

} // namespace OrvantaClient::GUI
