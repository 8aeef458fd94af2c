#pragma once

#include <QDate>
#include <QJsonArray>
#include <QMap>

namespace OrvantaClient::API {

// How many records the service holds for each day of a camera's archive.
class ArchiveCalendar
{
public:
    // Sets the days an answer names ("date" in seconds, "recordsCount");
    // days it does not name keep their counts.
    void merge(const QJsonArray& answer);
    void clear() { m_days.clear(); }

    QMap<QDate, int> days() const { return m_days; }
    bool hasDay(const QDate& date) const { return m_days.value(date) > 0; }

private:
    QMap<QDate, int> m_days;
};

} // namespace OrvantaClient::API
