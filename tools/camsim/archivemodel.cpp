#include "archivemodel.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace Camsim {

QList<ArchiveModel::Record> ArchiveModel::dayRecords(const QString& cameraKey, const QDate& date)
{
    const QDate today = QDate::currentDate();
    if (date > today || date < today.addDays(-days + 1))
        return {};
    const QByteArray seedText = (cameraKey + date.toString(Qt::ISODate)).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(seedText, QCryptographicHash::Md5);
    QRandomGenerator random(quint32(hash.at(0)) << 24 | quint32(uchar(hash.at(1))) << 16
                            | quint32(uchar(hash.at(2))) << 8 | quint32(uchar(hash.at(3))));
    // One day in seven (a different one per camera) has no recordings.
    if (random.bounded(7) == 0)
        return {};

    QList<Record> list;
    const qint64 dayStart = QDateTime(date, QTime(0, 0)).toMSecsSinceEpoch();
    const qint64 dayEnd = QDateTime(date.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 t = dayStart + random.bounded(60) * 60000;
    while (t < dayEnd && t < now) {
        const qint64 length = (10 + random.bounded(80)) * 60000 + random.bounded(60) * 1000;
        const qint64 end = qMin(qMin(t + length, dayEnd - 1000), now);
        if (end > t)
            list.append({t, end - t});
        t = end + (2 + random.bounded(25)) * 60000; // a gap
    }
    return list;
}

QList<ArchiveModel::Record> ArchiveModel::records(const QString& cameraKey, qint64 fromMs, qint64 toMs)
{
    QList<Record> result;
    if (toMs < fromMs)
        return result;
    QDate date = QDateTime::fromMSecsSinceEpoch(fromMs).date();
    const QDate last = QDateTime::fromMSecsSinceEpoch(toMs).date();
    for (int guard = 0; date <= last && guard < days + 2; date = date.addDays(1), ++guard) {
        for (const Record& record : dayRecords(cameraKey, date)) {
            if (record.startMs + record.durationMs >= fromMs && record.startMs <= toMs)
                result.append(record);
        }
    }
    return result;
}

QList<QPair<QDate, int>> ArchiveModel::calendar(const QString& cameraKey, qint64 fromSecs, qint64 toSecs)
{
    QList<QPair<QDate, int>> result;
    QDate date = QDateTime::fromSecsSinceEpoch(fromSecs).date();
    const QDate last = QDateTime::fromSecsSinceEpoch(toSecs).date();
    for (int guard = 0; date <= last && guard < 400; date = date.addDays(1), ++guard) {
        const int count = dayRecords(cameraKey, date).size();
        if (count > 0)
            result.append({date, count});
    }
    return result;
}

} // namespace Camsim
