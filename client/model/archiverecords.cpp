#include "archiverecords.h"

#include <QDebug>
#include <QJsonObject>

namespace OrvantaClient::API {

namespace {

// Whole seconds of a number from the network, kept where dates make sense
// (converting an out-of-range double to an integer is undefined).
qint64 wholeSeconds(double seconds)
{
    constexpr double limit = 1e11; // about 3000 years either way
    return qint64(qBound(-limit, seconds, limit));
}

} // namespace

void ArchiveRecords::setDay(const QDate& date, const QJsonArray& answer)
{
    QList<ArchiveRecord>& day = m_days[date];
    day.clear();
    const QDateTime dayStart(date, QTime(0, 0, 0));
    const QDateTime dayEnd(date, QTime(23, 59, 59));
    for (const QJsonValue& value : answer) {
        const QJsonObject object = value.toObject();
        // The service's start is one second early; whole seconds only.
        const qint64 s = wholeSeconds(object.value(QStringLiteral("startTime")).toDouble(0) / 1000.0 + 1.0);
        const qint64 d = wholeSeconds(object.value(QStringLiteral("duration")).toDouble(0) / 1000.0);
        QDateTime start = QDateTime::fromSecsSinceEpoch(s);
        QDateTime end = QDateTime::fromSecsSinceEpoch(s + d);

        if (start.date() > date || end.date() < date)
            qDebug() << "Received record with start.date()" << start.date() << "end.date()" << end.date()
                     << "but current date is" << date;
        if (start.date() < date)
            start = dayStart;
        if (end.date() > date)
            end = dayEnd;
        if (!day.isEmpty() && start <= day.last().end)
            start = day.last().end.addMSecs(100);
        if (start < end)
            day.append({start, end});
    }
}

bool ArchiveRecords::hasRecords(const QDate& date) const
{
    return !m_days.value(date).isEmpty();
}

int ArchiveRecords::recordIndexAt(const QDateTime& t) const
{
    const QList<ArchiveRecord> day = m_days.value(t.date());
    for (int i = 0; i < day.size(); ++i) {
        if (day.at(i).start <= t && t < day.at(i).end)
            return i;
    }
    return -1;
}

QDateTime ArchiveRecords::nextRecordTime(const QDateTime& t) const
{
    for (const ArchiveRecord& record : m_days.value(t.date())) {
        if (record.end > t)
            return t < record.start ? record.start : t;
    }
    return QDateTime();
}

} // namespace OrvantaClient::API
