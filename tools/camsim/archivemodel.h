#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace Camsim {

// The recordings of a simulated camera: the same for the same camera every
// time, over the last 30 days, with gaps and with whole days missing, so that
// the timeline, jumps over gaps and the calendar all have something to show.
class ArchiveModel
{
public:
    struct Record
    {
        qint64 startMs;
        qint64 durationMs;
    };

    static constexpr int days = 30;

    // Records that overlap [fromMs, toMs], in time order. Nothing in the future.
    static QList<Record> records(const QString& cameraKey, qint64 fromMs, qint64 toMs);
    // Records per day for the days of [fromSecs, toSecs].
    static QList<QPair<QDate, int>> calendar(const QString& cameraKey, qint64 fromSecs, qint64 toSecs);

private:
    static QList<Record> dayRecords(const QString& cameraKey, const QDate& date);
};

} // namespace Camsim
