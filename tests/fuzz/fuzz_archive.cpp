// The archive answers of a camera: the records of a day ("archive/list") and the
// days that hold records ("archive/days"), read into the timeline's model.
#include "fuzzsupport.h"

#include "model/archivecalendar.h"
#include "model/archiverecords.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace OrvantaClient::API;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const QJsonArray answer = QJsonDocument::fromJson(Fuzz::bytes(data, size)).array();

    // The day asked for is the day of the first record, as when the answer is right.
    const double first = answer.first().toObject().value(QStringLiteral("startTime")).toDouble(0);
    const QDate date = first > 0 && first < 4e12 ? QDateTime::fromMSecsSinceEpoch(qint64(first)).date()
                                                 : QDate(2026, 11, 20);
    ArchiveRecords records;
    records.setDay(date, answer);
    const QList<ArchiveRecord> day = records.records(date);
    QDateTime previousEnd;
    for (int i = 0; i < day.size(); ++i) {
        const ArchiveRecord& record = day.at(i);
        // Each record lies within its day, after the one before it.
        FUZZ_CHECK(record.start.date() == date && record.end.date() == date && record.start < record.end);
        FUZZ_CHECK(!previousEnd.isValid() || previousEnd < record.start);
        FUZZ_CHECK(records.recordIndexAt(record.start) == i);
        FUZZ_CHECK(records.nextRecordTime(record.start) == record.start);
        previousEnd = record.end;
    }
    FUZZ_CHECK(records.hasRecords(date) == !day.isEmpty());

    ArchiveCalendar calendar;
    calendar.merge(answer);
    FUZZ_CHECK(calendar.days().size() <= answer.size());
    return 0;
}
