#include "archivecalendar.h"

#include <QDateTime>
#include <QJsonObject>

namespace OrvantaClient::API {

void ArchiveCalendar::merge(const QJsonArray& answer)
{
    for (const QJsonValue& value : answer) {
        const QJsonObject object = value.toObject();
        const double date = qBound(-1e11, object.value(QStringLiteral("date")).toDouble(0), 1e11);
        const qint64 seconds = qint64(date);
        m_days[QDateTime::fromSecsSinceEpoch(seconds).date()] = object.value(QStringLiteral("recordsCount")).toInt(0);
    }
}

} // namespace OrvantaClient::API
