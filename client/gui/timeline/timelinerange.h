#pragma once

#include <QDate>
#include <QDateTime>

namespace OrvantaClient::GUI {

// The visible part of one day on the timeline and the arithmetic on it: the
// mapping between times and x positions, zoom steps and panning. Kept apart
// from the widget so that it can be checked without painting anything.
class TimelineRange
{
public:
    // The time axis runs from x = axisLeft to x = width - axisRightMargin.
    static constexpr int axisLeft = 15;
    static constexpr int axisRightMargin = 14;
    static constexpr int axisMargins = axisLeft + axisRightMargin;
    // Each zoom step changes the span by this many seconds; 20 steps lead
    // from the whole day to the closest zoom.
    static constexpr qint64 stepSecs = 4290;
    static constexpr qint64 closestSpanSecs = 4790;
    static constexpr int maxLevel = 100;

    TimelineRange() = default;
    explicit TimelineRange(const QDate& day);

    QDate day() const { return m_day; }
    QDateTime start() const { return m_start; }
    QDateTime end() const { return m_end; }
    qint64 span() const { return m_start.secsTo(m_end); }
    QDateTime dayStart() const { return QDateTime(m_day, QTime(0, 0)); }
    QDateTime dayEnd() const { return QDateTime(m_day, QTime(23, 59, 59)); }
    bool isWholeDay() const { return m_start == dayStart() && m_end == dayEnd(); }
    bool contains(const QDateTime& t) const { return t >= m_start && t <= m_end; }

    int x(const QDateTime& t, int width) const;
    QDateTime t(int x, int width) const;
    QDateTime middle() const { return m_start.addSecs(span() / 2); }
    QDateTime clampToDay(const QDateTime& t) const;

    // Sets the range and brings it inside the day; a range that is empty
    // afterwards becomes the whole day.
    void setRange(const QDateTime& start, const QDateTime& end);
    // The same times of day on another day.
    void moveToDay(const QDate& day);
    // Shifts both ends by secs, stopping at the ends of the day; returns
    // whether anything moved.
    bool shift(qint64 secs);

    // One zoom step in (steps > 0) or out (steps < 0) per unit around anchor,
    // which keeps its place on the axis. level is updated; returns whether the
    // visible range changed.
    bool zoomBy(int steps, const QDateTime& anchor, int& level);
    static int levelOf(qint64 spanSecs);

private:
    bool zoomStep(bool in, const QDateTime& anchor, int& level);

    QDate m_day;
    QDateTime m_start;
    QDateTime m_end;
};

} // namespace OrvantaClient::GUI
