#include "messagecapture.h"
#include "model/archivecalendar.h"
#include "model/archiverecords.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

using namespace OrvantaClient::API;

namespace {

const QDate day(2026, 3, 10);

QDateTime at(int h, int m, int s, int ms = 0, const QDate& date = day)
{
    return QDateTime(date, QTime(h, m, s, ms));
}

// A service record: starts one second before the given moment.
QJsonObject serviceRecord(const QDateTime& shownStart, qint64 durationMs)
{
    return {{"startTime", double(shownStart.toMSecsSinceEpoch() - 1000)}, {"duration", double(durationMs)}};
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT
private slots:
    void startIsOneSecondLaterInWholeSeconds();
    void overlapsAreSeparatedAndSwallowedRecordsDropped();
    void recordsAreClippedToTheirDay();
    void lookups();
    void hostileNumbersStayHarmless();
    void calendarMergeKeepsOtherDays();
};

void TestArchive::startIsOneSecondLaterInWholeSeconds()
{
    ArchiveRecords records;
    const QDate epochDay = QDateTime::fromSecsSinceEpoch(1).date();
    records.setDay(epochDay, QJsonArray{QJsonObject{{"startTime", 0}, {"duration", 5000}}});
    QCOMPARE(records.records(epochDay).size(), 1);
    QCOMPARE(records.records(epochDay).first().start, QDateTime::fromSecsSinceEpoch(1));
    QCOMPARE(records.records(epochDay).first().end, QDateTime::fromSecsSinceEpoch(6));

    // 1999 ms + 1 s truncates to 2 s; a 2.9 s duration to 2 s.
    const qint64 base = at(10, 0, 0).toSecsSinceEpoch() * 1000;
    records.setDay(day, QJsonArray{QJsonObject{{"startTime", double(base + 1999)}, {"duration", 2900}}});
    QCOMPARE(records.records(day).first().start, at(10, 0, 2));
    QCOMPARE(records.records(day).first().end, at(10, 0, 4));
}

void TestArchive::overlapsAreSeparatedAndSwallowedRecordsDropped()
{
    ArchiveRecords records;
    records.setDay(day, QJsonArray{
                            serviceRecord(at(10, 0, 0), 60000),  // 10:00:00 - 10:01:00
                            serviceRecord(at(10, 0, 30), 60000), // overlaps: moved to 10:01:00.100
                            serviceRecord(at(10, 1, 10), 10000), // inside the one before: dropped
                            serviceRecord(at(11, 0, 0), 1000),
                        });
    const QList<ArchiveRecord> list = records.records(day);
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.at(1).start, at(10, 1, 0, 100));
    QCOMPARE(list.at(1).end, at(10, 1, 30));
    QCOMPARE(list.at(2).start, at(11, 0, 0));

    // A new answer for the day replaces it; other days stay.
    const QDate other = day.addDays(1);
    records.setDay(other, QJsonArray{serviceRecord(at(1, 0, 0, 0, other), 1000)});
    records.setDay(day, QJsonArray{});
    QVERIFY(!records.hasRecords(day));
    QVERIFY(records.hasRecords(other));
}

void TestArchive::recordsAreClippedToTheirDay()
{
    ArchiveRecords records;
    MessageCapture capture;
    records.setDay(day, QJsonArray{
                            serviceRecord(at(23, 0, 0, 0, day.addDays(-1)), 2 * 3600 * 1000), // into the day
                            serviceRecord(at(23, 30, 0), 3600 * 1000),                      // past midnight
                            serviceRecord(at(1, 0, 0, 0, day.addDays(1)), 1000),            // next day
                        });
    const QList<ArchiveRecord> list = records.records(day);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).start, at(0, 0, 0));
    QCOMPARE(list.at(0).end, at(1, 0, 0));
    QCOMPARE(list.at(1).end, at(23, 59, 59));
    // Only the record wholly on another day is logged.
    QCOMPARE(capture.messages().size(), 1);
    QVERIFY(capture.messages().first().startsWith("Received record with start.date()"));
}

void TestArchive::lookups()
{
    ArchiveRecords records;
    records.setDay(day, QJsonArray{serviceRecord(at(10, 0, 0), 60000), serviceRecord(at(12, 0, 0), 60000)});
    QCOMPARE(records.recordIndexAt(at(10, 0, 0)), 0);
    QCOMPARE(records.recordIndexAt(at(10, 0, 59)), 0);
    QCOMPARE(records.recordIndexAt(at(10, 1, 0)), -1); // the end is not inside
    QCOMPARE(records.recordIndexAt(at(12, 0, 30)), 1);
    QCOMPARE(records.recordIndexAt(at(12, 0, 30).addDays(1)), -1);

    QCOMPARE(records.nextRecordTime(at(9, 0, 0)), at(10, 0, 0));
    QCOMPARE(records.nextRecordTime(at(10, 0, 30)), at(10, 0, 30));
    QCOMPARE(records.nextRecordTime(at(11, 0, 0)), at(12, 0, 0));
    QVERIFY(!records.nextRecordTime(at(12, 1, 0)).isValid());
}

void TestArchive::hostileNumbersStayHarmless()
{
    ArchiveRecords records;
    records.setDay(day, QJsonArray{QJsonObject{{"startTime", 1e300}, {"duration", -1e300}},
                                   QJsonObject{{"startTime", "soon"}}, QJsonValue(17), QJsonArray{}});
    QVERIFY(!records.hasRecords(day));
    ArchiveCalendar calendar;
    calendar.merge(QJsonArray{QJsonObject{{"date", -1e300}, {"recordsCount", 3}}, QJsonValue("x")});
    QVERIFY(calendar.days().size() <= 2);
}

void TestArchive::calendarMergeKeepsOtherDays()
{
    ArchiveCalendar calendar;
    const auto entry = [](const QDate& date, int count) {
        return QJsonObject{{"date", double(QDateTime(date, QTime(13, 45)).toSecsSinceEpoch())},
                           {"recordsCount", count}};
    };
    calendar.merge(QJsonArray{entry(QDate(2025, 12, 30), 4), entry(QDate(2025, 12, 31), 0)});
    calendar.merge(QJsonArray{entry(QDate(2026, 1, 2), 7), entry(QDate(2025, 12, 31), 2)});
    const QMap<QDate, int> days = calendar.days();
    QCOMPARE(days.value(QDate(2025, 12, 30)), 4);
    QCOMPARE(days.value(QDate(2025, 12, 31)), 2);
    QCOMPARE(days.value(QDate(2026, 1, 2)), 7);
    QVERIFY(calendar.hasDay(QDate(2026, 1, 2)));
    QVERIFY(!calendar.hasDay(QDate(2026, 1, 1)));
}

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
