#pragma once

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QList>
#include <QMap>

namespace OrvantaClient::API {

// One recorded interval of a camera's archive, in local time.
struct ArchiveRecord
{
    QDateTime start;
    QDateTime end;

    bool operator==(const ArchiveRecord& other) const { return start == other.start && end == other.end; }
};

// The recorded intervals of a camera, day by day: non-overlapping, each within
// its day, in the order the service listed them.
class ArchiveRecords
{
public:
    // Replaces the day's records with those of a service answer ("startTime"
    // and "duration" in milliseconds), clipped to the day and kept apart.
    void setDay(const QDate& date, const QJsonArray& answer);
    void clear() { m_days.clear(); }

    bool hasRecords(const QDate& date) const;
    QList<ArchiveRecord> records(const QDate& date) const { return m_days.value(date); }

    // Index within t's day of the record with start <= t < end, or -1.
    int recordIndexAt(const QDateTime& t) const;
    // The first recorded moment at or after t on t's day, or an invalid time.
    QDateTime nextRecordTime(const QDateTime& t) const;

private:
    QMap<QDate, QList<ArchiveRecord>> m_days;
};

} // namespace OrvantaClient::API
