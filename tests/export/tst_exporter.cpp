#include "httptestserver.h"
#include "messagecapture.h"
#include "core/settings.h"
#include "export/exporter.h"
#include "model/camera.h"
#include "model/localserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using namespace OrvantaClient;

namespace {

const QDate day(2026, 3, 10);
QDateTime at(int h, int m, int s = 0) { return QDateTime(day, QTime(h, m, s)); }

} // namespace

class TestExporter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void recordedDurationAndRefusals();
    void fileName();
    void workerLinesBecomeSignals();

private:
    QTemporaryDir m_dir;
    HttpTestServer m_lan;
    std::shared_ptr<API::LocalServer> m_server;
    API::CameraPtr m_camera;
};

void TestExporter::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path()));
    App::Settings::instance().setValue("common/exportPath", m_dir.filePath("exports"));
    // A local server whose archive answer holds 10:00-10:10, 10:20-10:30 and 11:00-11:10.
    QJsonArray records;
    for (const QDateTime& start : {at(10, 0), at(10, 20), at(11, 0)})
        records.append(QJsonObject{{"startTime", double(start.toMSecsSinceEpoch() - 1000)}, {"duration", 600000}});
    m_lan.enqueue(HttpTestServer::Response::json(200, QJsonDocument(records).toJson()));
    m_server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", m_lan.port(), "pw");
    m_server->updateCameras(QJsonArray{QJsonObject{{"id", 1}, {"name", "Back/door: east"}, {"vcodec", "h264"}, {"online", true}}});
    m_camera = m_server->item(1);
    QSignalSpy loaded(m_camera.get(), &API::Camera::recordsChanged);
    m_camera->requestTimeline(day);
    QVERIFY(loaded.wait(20000));
}

void TestExporter::recordedDurationAndRefusals()
{
    QCOMPARE(App::Exporter::recordedDuration(*m_camera, at(10, 5), at(10, 25)), 600000);
    QCOMPARE(App::Exporter::recordedDuration(*m_camera, at(9, 0), at(12, 0)), 1800000);

    App::Exporter exporter;
    MessageCapture capture;
    QVERIFY(!exporter.startExport(m_camera, at(10, 11), at(10, 19)));
    QVERIFY(capture.contains("Can't export records with 0 duration \"Back/door: east\""));

    API::Server cloud(QJsonObject{{"id", "srv"}, {"online", true}, {"cameras", QJsonArray{QJsonObject{{"id", 1}, {"name", "Gate"}}}}});
    QVERIFY(!exporter.startExport(cloud.item(1), at(10, 0), at(10, 5))); // no records: refused before the cloud check
    QVERIFY(!exporter.isRunning());
}

void TestExporter::fileName()
{
    QCOMPARE(App::Exporter::fileName(*m_camera, at(10, 5, 7), at(10, 25, 9)),
             QStringLiteral("video Back_door_ east - 127.0.0.1 10.03.26 10.05.07-10.25.09.mp4"));
}

void TestExporter::workerLinesBecomeSignals()
{
    // A stand-in worker: records its arguments and the stream it finds in its
    // environment, then prints a line cut in two writes, a percentage without
    // number, and a batch ending in export-done.
    const QString script = m_dir.filePath("fake-clipworker");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
               "printf '%s' \"$WATCHDESK_STREAM\" > \"$(dirname \"$0\")/stream\"\n"
               "echo export-start\nprintf 'export-perc'\nsleep 0.3\nprintf 'ent 40\\n'\n"
               "echo export-percent\nprintf 'export-percent 99\\nexport-done\\n'\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    App::Exporter exporter;
    exporter.setProgram(script);
    QSignalSpy started(&exporter, &App::Exporter::exportStarted);
    QSignalSpy percent(&exporter, &App::Exporter::exportPercentDone);
    QSignalSpy done(&exporter, &App::Exporter::exportDone);
    MessageCapture capture;
    QVERIFY(exporter.startExport(m_camera, at(10, 5), at(10, 25)));
    QVERIFY(done.wait(20000));
    QCOMPARE(started.count(), 1);
    QCOMPARE(percent.count(), 2);
    QCOMPARE(percent.at(0).first().toInt(), 40);
    QCOMPARE(percent.at(1).first().toInt(), 99);
    QCOMPARE(done.first().first().toString(), exporter.destination());
    QVERIFY(capture.contains("Bad VLC input \"export-percent\""));

    QFile arguments(m_dir.filePath("arguments"));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    const QStringList args = QString::fromUtf8(arguments.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(args.size(), 5);
    QCOMPARE(args.at(0), QStringLiteral("export"));
    // The source carries the local server's password: it goes by the environment.
    QCOMPARE(args.at(1), QStringLiteral("-"));
    QFile stream(m_dir.filePath("stream"));
    QVERIFY(stream.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(stream.readAll());
    QVERIFY(source.contains("/flv/archive?server=1&camera=1&q=2"));
    QVERIFY(source.contains("sessionId=pw&"));
    QCOMPARE(args.at(2), QStringLiteral("mp4"));
    QCOMPARE(args.at(3), QStringLiteral("600000"));
    QCOMPARE(args.at(4), m_dir.filePath("exports/video Back_door_ east - 127.0.0.1 10.03.26 10.05.00-10.25.00.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(capture.contains("Export process exited with code: 0"), 20000);
}

QTEST_GUILESS_MAIN(TestExporter)
#include "tst_exporter.moc"
