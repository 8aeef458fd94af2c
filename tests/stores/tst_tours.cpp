// The tours store and its file: what is stored comes back in a new session,
// and a damaged file is kept aside and told about, never written over.
#include "messagecapture.h"
#include "../common/filefaults.h"
#include "core/storagepaths.h"
#include "core/usernotices.h"
#include "model/tour.h"
#include "stores/tours.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace OrvantaClient;

class TestTours : public QObject
{
    Q_OBJECT
private slots:
    void toursSurviveASessionAndADamagedFile();
};

void TestTours::toursSurviveASessionAndADamagedFile()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("tours.0123");

    // Stored, edited and removed in one session...
    {
        App::Tours tours;
        QVERIFY(tours.open(fileName)); // missing: empty, and no file made by reading
        QVERIFY(!QFile::exists(fileName));
        API::Tour lobby{"T-1", QString::fromUtf8("Lobby «east»"), {"L-2", "L-1", "L-3"}, false, 30};
        API::Tour cameras{"T-2", "Every camera", {}, true, 5};
        tours.put(lobby);
        tours.put(cameras);
        lobby.dwellSeconds = 45;
        tours.put(lobby); // replaces, keeps its place
        tours.setLastUsed("T-2");
        tours.put({"T-3", "Gone", {"L-9"}, false, 10});
        tours.remove("T-3");
    }
    // ...come back as they were in the next one.
    {
        App::Tours tours;
        QVERIFY(tours.open(fileName));
        const QList<API::Tour> read = tours.tours();
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.at(0).name, QString::fromUtf8("Lobby «east»"));
        QCOMPARE(read.at(0).layoutIds, (QStringList{"L-2", "L-1", "L-3"}));
        QCOMPARE(read.at(0).dwellSeconds, 45);
        QVERIFY(!read.at(0).allCameras);
        QVERIFY(read.at(1).allCameras);
        QCOMPARE(tours.lastUsed().id, QString("T-2"));
        QVERIFY(!tours.tour("T-3").isValid());
    }

    // A dwell out of range is brought inside; an entry without an id is not a tour.
    const QByteArray partly = R"({"tours":[{"id":"T-1","name":"A","layouts":["L-1",7],"dwell":100000},
                                            {"name":"no id"}],"last":"T-1"})";
    // Garbage, a truncated file, and JSON of another shape.
    const QByteArray whole = readBytes(fileName);
    const QList<QByteArray> damaged{QByteArray("\x00\xff{[garbage", 12), whole.left(whole.size() / 2),
                                    QByteArray(R"({"tours":{"T-1":{}}})"), partly};
    for (const QByteArray& content : damaged) {
        for (const QString& kept : keptAside(fileName))
            QFile::remove(kept);
        writeBytes(fileName, content);
        App::UserNotices::instance().takeAll();
        MessageCapture capture;
        App::Tours tours;
        QVERIFY(!tours.open(fileName));
        const QStringList kept = keptAside(fileName);
        QVERIFY2(kept.size() == 1, qPrintable(capture.messages().join('\n')));
        QCOMPARE(readBytes(kept.first()), content);
        QVERIFY(capture.contains("Tours file"));
        const QStringList notices = App::UserNotices::instance().takeAll();
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices.first().contains(kept.first()), qPrintable(notices.first()));
        if (content == partly) {
            // What could be read stays, within bounds.
            QCOMPARE(tours.tours().size(), 1);
            QCOMPARE(tours.tours().first().layoutIds, QStringList{"L-1"});
            QCOMPARE(tours.tours().first().dwellSeconds, API::Tour::maxDwellSeconds);
        } else {
            QVERIFY(tours.tours().isEmpty());
        }
        // The next change makes a new, good file; the copy kept aside stays as it was.
        tours.put({"T-9", "New", {"L-1"}, false, 10});
        App::Tours again;
        QVERIFY(again.open(fileName));
        QVERIFY(again.tour("T-9").isValid());
        QCOMPARE(readBytes(kept.first()), content);
    }

    // The file of an account lies beside its layouts file.
    QCOMPARE(QFileInfo(App::StoragePaths::localToursFilePath()).dir(),
             QFileInfo(App::StoragePaths::localLayoutsFilePath()).dir());
    QCOMPARE(QFileInfo(App::StoragePaths::localToursFilePath()).fileName().replace("tours.", "layouts."),
             QFileInfo(App::StoragePaths::localLayoutsFilePath()).fileName());
}

QTEST_GUILESS_MAIN(TestTours)
#include "tst_tours.moc"
