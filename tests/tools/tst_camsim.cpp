// camsim as the client sees it: its answers read through the client's own
// classes, and its streams checked with ffprobe.
#include "simulator.h"
#include "cameraroutes.h"
#include "cloudservice.h"
#include "flvstream.h"
#include "hostileanswer.h"
#include "workerrun.h"
#include "api/cloudapiclient.h"
#include "api/restclient.h"
#include "model/camera.h"
#include "model/localserver.h"
#include "player/framefile.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace OrvantaClient;

namespace {

// An answer as it came over the wire, read until camsim closed the connection.
struct RawAnswer
{
    QByteArray head;
    QByteArray body;
    QByteArray header(const QByteArray& name) const
    {
        for (const QByteArray& line : head.split('\n')) {
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        }
        return QByteArray();
    }
};

RawAnswer rawAnswer(quint16 port, const QByteArray& target)
{
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", port);
    socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n\r\n");
    QByteArray data;
    QDeadlineTimer deadline(20000);
    while (socket.state() != QAbstractSocket::UnconnectedState && !deadline.hasExpired()) {
        QTest::qWait(5);
        data += socket.readAll();
    }
    data += socket.readAll();
    const int end = data.indexOf("\r\n\r\n");
    return {data.left(end), end < 0 ? QByteArray() : data.mid(end + 4)};
}

// Every number in value, depth first.
void collectNumbers(const QJsonValue& value, QList<double>& numbers)
{
    if (value.isDouble())
        numbers << value.toDouble();
    for (const QJsonValue& item : value.toArray())
        collectNumbers(item, numbers);
    for (const QJsonValue& item : value.toObject())
        collectNumbers(item, numbers);
}

} // namespace

class TestCamsim : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void signInAndRepeatedFailures();
    void rosterShowsEveryState();
    void thousandsOfGeneratedCameras();
    void layoutsPerAccount();
    void localServerStreamsAndArchive();
    void exportDeliversExactlyTheStretch();
    void archiveStreamPlaysWhatTheRecordsHold();
    void faultsOnDemand();
    void hostileAnswersAreWhatTheySay();
    void rawStreamForFramepump();
    void framepumpDecodesTheRawStream();

private:
    QString signIn();

    QTemporaryDir m_dir;
    std::unique_ptr<Camsim::Simulator> m_sim;
};

void TestCamsim::initTestCase()
{
    QJsonObject config{{"accounts", QJsonArray{QJsonObject{{"email", "demo@orvanta.example"}, {"password", "demo"}},
                                               QJsonObject{{"email", "other@orvanta.example"}, {"password", "x"}}}}};
    m_sim = std::make_unique<Camsim::Simulator>(Camsim::Scenario::fromJson(config));
    QVERIFY2(m_sim->start(), qPrintable(m_sim->errorString()));
    QVERIFY(m_sim->writeWorkDir(m_dir.path()));
    QVERIFY(QDir::setCurrent(m_dir.path())); // the client reads deployment.ini here
}

QString TestCamsim::signIn()
{
    API::CloudAPIClient client;
    QSignalSpy ok(&client, &API::CloudAPIClient::loginSuccess);
    client.tryLogin("Demo@Orvanta.example", "demo");
    if (!ok.wait(20000))
        return QString();
    return API::CloudAPIClient::sessionId();
}

void TestCamsim::signInAndRepeatedFailures()
{
    for (int i = 0; i < 6; ++i) {
        API::RestClient* attempt = new API::RestClient;
        QSignalSpy error(attempt, &API::RestClient::error);
        attempt->postForm("public/sessions", {{"login", "other%40orvanta.example"}, {"password", "wrong"}});
        QVERIFY(error.wait(20000));
        QCOMPARE(error.first().at(0).toInt(), i < 5 ? 10001 : 10016);
        attempt->deleteLater();
    }
    QVERIFY(!signIn().isEmpty());
}

void TestCamsim::rosterShowsEveryState()
{
    signIn();
    API::CloudAPIClient client;
    QSignalSpy roster(&client, &API::CloudAPIClient::rosterUpdated);
    client.updateRoster();
    QVERIFY(roster.wait(20000));
    const QJsonObject servers = roster.first().first().toJsonObject();
    API::Server office(servers.value("srv-office").toObject());
    API::Server warehouse(servers.value("srv-warehouse").toObject());
    QVERIFY(office.isOnline() && office.ptzPatrolSupported());
    QVERIFY(!warehouse.isOnline());
    QVERIFY(office.item(1)->ptzSupported() && office.item(1)->hasPtzRight());
    QCOMPARE(office.item(2)->rotation(), 90);
    QVERIFY(!office.item(3)->isOnline());
    QVERIFY(!office.item(4)->isPaid());
    QVERIFY(!office.item(5)->hasArchiveRight());
    QVERIFY(office.item(6)->mirror());
    QVERIFY(office.item(1)->isAvailable());
}

void TestCamsim::thousandsOfGeneratedCameras()
{
    Camsim::Scenario scenario = Camsim::Scenario::fromJson(
        QJsonObject{{"cloudServers", QJsonArray()}, {"cameras", 2500}, {"camerasPerServer", 1000}});
    Camsim::CloudService service(&scenario);
    const auto ask = [&service](const QByteArray& method, const QByteArray& path, const QString& session,
                                const QByteArray& body = QByteArray(), const QString& camera = QString()) {
        Camsim::Request request;
        request.method = method;
        request.path = path;
        request.body = body;
        request.query = {{"sessionId", session}, {"server", "gen-3"}, {"camera", camera}};
        return service.handle(request, Camsim::CameraRoutes::Context());
    };
    const QString session = QJsonDocument::fromJson(ask("POST", "/public/sessions", QString(),
                                                        "login=demo%40orvanta.example&password=demo").body)
                                .object().value("response").toObject().value("session_id").toString();
    QVERIFY(!session.isEmpty());

    const auto roster = [&] {
        return QJsonDocument::fromJson(ask("GET", "/public/roster", session).body).object().value("response").toObject();
    };
    QJsonObject servers = roster();
    QCOMPARE(servers.keys(), (QStringList{"gen-1", "gen-2", "gen-3"}));
    int cameras = 0, offline = 0;
    for (const QJsonValue& value : servers) {
        API::Server server(value.toObject());
        for (const API::CameraPtr& camera : server.items()) {
            ++cameras;
            offline += camera->isOnline() ? 0 : 1;
        }
    }
    QCOMPARE(cameras, 2500);
    QCOMPARE(offline, 125 + 125 + 62);
    API::Server third(servers.value("gen-3").toObject());
    QCOMPARE(third.item(500)->name(), QStringLiteral("Camera 3-00500"));

    QCOMPARE(ask("GET", "/preview/live", session, {}, "500").contentType, QByteArray("image/jpeg"));
    QCOMPARE(ask("GET", "/preview/live", session, {}, "8").status, 404);   // offline
    QCOMPARE(ask("GET", "/preview/live", session, {}, "501").status, 404); // none such

    // The answer kept for speed follows a change of a camera.
    const QByteArray turn = "degrees=180&sessionId=" + session.toLatin1();
    QVERIFY(ask("POST", "/public/servers/gen-3/cameras/7/rotation", session, turn).body.contains("true"));
    servers = roster();
    QCOMPARE(API::Server(servers.value("gen-3").toObject()).item(7)->rotation(), 180);
}

void TestCamsim::layoutsPerAccount()
{
    signIn();
    API::CloudAPIClient client;
    QSignalSpy layouts(&client, &API::CloudAPIClient::layoutsUpdated);
    client.updateLayouts();
    QVERIFY(layouts.wait(20000));
    QCOMPARE(layouts.first().first().toJsonObject().value("last_update").toInt(), 0);
    client.saveLayouts(R"([{"id":"L1","name":"Hall","rows":2,"columns":2,"cameras":[]}])");
    // The server answers in arrival order: ask again once the save is in.
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->requestLog().last().toObject().value("method") == "POST", 20000);
    client.updateLayouts();
    QTRY_COMPARE_WITH_TIMEOUT(layouts.count(), 2, 20000);
    const QJsonObject stored = layouts.last().first().toJsonObject();
    QVERIFY(stored.value("last_update").toDouble() > 0);
    QCOMPARE(stored.value("layouts").toArray().first().toObject().value("name").toString(), QStringLiteral("Hall"));
}

void TestCamsim::localServerStreamsAndArchive()
{
    const Camsim::ServerSpec& shop = m_sim->scenario().localServers.first();
    auto local = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", m_sim->localPorts().first(), shop.password);
    QSignalSpy finished(local.get(), &API::LocalServer::localServerUpdatingFinished);
    local->update();
    QVERIFY(finished.wait(20000));
    QCOMPARE(local->items().size(), shop.cameras.size());
    const API::CameraPtr counter = local->item(1);
    QVERIFY(counter->isOnline() && counter->ptzSupported());

    // Records of a day and the calendar count of that day agree.
    QSignalSpy records(counter.get(), &API::Camera::recordsChanged);
    QSignalSpy calendar(counter.get(), &API::Camera::calendarChanged);
    const QDate today = QDate::currentDate();
    QDate day = today.addDays(-1);
    counter->requestCalendar(today.addDays(-29), today);
    QVERIFY(calendar.wait(20000));
    const QMap<QDate, int> days = counter->calendar();
    QVERIFY(days.size() >= 15 && days.size() < 30); // most days, never all of them
    while (!days.contains(day))
        day = day.addDays(-1);
    counter->requestTimeline(day);
    QVERIFY(records.wait(20000));
    QCOMPARE(counter->records(day).size(), days.value(day));
}

void TestCamsim::exportDeliversExactlyTheStretch()
{
    const QString session = signIn();
    const QDateTime start = QDateTime::currentDateTime().addDays(-1);
    QUrl url = m_sim->cloudUrl();
    url.setPath("/flv/archive");
    url.setQuery(QString("server=srv-office&camera=2&q=2&sessionId=%1&startTime=%2&endTime=%3&uploadRate=500")
                     .arg(session)
                     .arg(start.toMSecsSinceEpoch())
                     .arg(start.toMSecsSinceEpoch() + 3000));
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(url));
    QSignalSpy done(reply, &QNetworkReply::finished);
    QVERIFY(done.wait(60000));
    const QByteArray flv = reply->readAll();
    reply->deleteLater();
    QVERIFY(flv.startsWith("FLV"));
    QFile file(m_dir.filePath("export.flv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(flv);
    file.close();

    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-show_entries", "format=duration:stream=width,height", "-of", "compact",
                            file.fileName()});
    QVERIFY(probe.waitForFinished(30000));
    const QString out = QString::fromUtf8(probe.readAllStandardOutput());
    QVERIFY2(out.contains("width=640|height=480"), qPrintable(out));
    const double duration = QRegularExpression("duration=([0-9.]+)").match(out).captured(1).toDouble();
    QVERIFY2(qAbs(duration - 3.0) < 0.2, qPrintable(out));
}

void TestCamsim::archiveStreamPlaysWhatTheRecordsHold()
{
    // The records of a past day with a gap of a minute or more.
    const QString key = QStringLiteral("srv-office_2");
    QList<QPair<qint64, qint64>> day;
    for (int back = 1; back < 8 && day.size() < 2; ++back) {
        const QDateTime midnight(QDate::currentDate().addDays(-back), QTime(0, 0));
        day = Camsim::CameraRoutes::recordedStretches(key, midnight.toSecsSinceEpoch(),
                                                      midnight.addDays(1).toSecsSinceEpoch());
    }
    QVERIFY(day.size() >= 2);
    const qint64 gapStart = day.at(0).first + day.at(0).second;
    QVERIFY(day.at(1).first - gapStart >= 60);
    const qint64 end = day.last().first + day.last().second;

    // Asked from inside the gap, the stream starts at the next record and
    // leaves every gap out.
    const QList<QPair<qint64, qint64>> played = Camsim::CameraRoutes::recordedStretches(key, gapStart + 30, end);
    QCOMPARE(played, day.mid(1));
    const QString session = signIn();
    QUrl url = m_sim->cloudUrl();
    url.setPath("/flv/archive");
    url.setQuery(QString("server=srv-office&camera=2&q=0&sessionId=%1&startTime=%2&endTime=%3&speed=1")
                     .arg(session)
                     .arg(gapStart + 30)
                     .arg(end));
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(url));
    QTRY_VERIFY_WITH_TIMEOUT(reply->bytesAvailable() > 0 || reply->isFinished(), 30000);
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    reply->abort();
    reply->deleteLater();
    QJsonObject note;
    for (const QJsonValue& line : m_sim->requestLog()) {
        if (line.toObject().value("stream").toString().contains(QString::number(gapStart + 30)))
            note = line.toObject();
    }
    QCOMPARE(qint64(note.value("firstPictureTime").toDouble()), day.at(1).first);

    // Its clock: one per record, each shown while that record plays.
    Camsim::FlvStream::Options options;
    options.stretches = played;
    const QString filter = Camsim::FlvStream::arguments(options, "name.txt").join(' ');
    QCOMPARE(filter.count("localtime"), played.size());
    QVERIFY2(filter.contains(QString("localtime\\:%1}").arg(played.at(1).first - played.at(0).second)), qPrintable(filter));

    // Fast playback: the picture's source is read at the speed and makes no
    // more pictures a second than at normal speed, shown at the stream's rate;
    // the sound stays in playback time.
    options.speed = 8;
    const QStringList fast = Camsim::FlvStream::arguments(options, "name.txt");
    QCOMPARE(fast.at(fast.indexOf("-readrate") + 1), QString("8"));
    QCOMPARE(fast.at(fast.lastIndexOf("-readrate") + 1), QString("1"));
    QVERIFY(fast.join(' ').contains(QString("rate=%1/8").arg(options.fps)));
    QVERIFY(fast.join(' ').contains(QString("setpts=PTS/8,fps=%1").arg(options.fps)));
}

void TestCamsim::faultsOnDemand()
{
    signIn();
    Camsim::Faults faults;
    faults.status500 = true;
    faults.scope = "cloud";
    m_sim->setFaults(faults);
    API::CloudAPIClient client;
    QSignalSpy error(&client, &API::CloudAPIClient::rosterUpdateError);
    client.updateRoster();
    QVERIFY(error.wait(20000));

    faults = Camsim::Faults();
    faults.refuse = true;
    m_sim->setFaults(faults);
    client.updateRoster();
    QVERIFY(error.wait(20000));
    m_sim->setFaults(Camsim::Faults());
    QSignalSpy roster(&client, &API::CloudAPIClient::rosterUpdated);
    client.updateRoster();
    QVERIFY(roster.wait(20000));
    QVERIFY(m_sim->requestLog().size() > 5);
}

void TestCamsim::hostileAnswersAreWhatTheySay()
{
    const QByteArray roster = "/public/roster?sessionId=" + signIn().toUtf8();
    const quint16 cloud = quint16(m_sim->cloudUrl().port());
    const QByteArray streams = "/streams/info?sessionId=shop%20pass&server=1";
    const quint16 local = m_sim->localPorts().first();
    const QByteArray usual = rawAnswer(cloud, roster).body;
    const QJsonObject servers = QJsonDocument::fromJson(usual).object().value("response").toObject();
    QVERIFY(servers.contains("srv-office"));
    auto answerIn = [this](const QString& mode, const QString& scope, quint16 port, const QByteArray& target) {
        Camsim::Faults faults;
        faults.answer = mode;
        faults.scope = scope;
        m_sim->setFaults(faults);
        const RawAnswer answer = rawAnswer(port, target);
        m_sim->setFaults(Camsim::Faults());
        return answer;
    };
    auto response = [](const RawAnswer& answer) {
        return QJsonDocument::fromJson(answer.body).object().value("response").toObject();
    };

    QCOMPARE(answerIn("invalidJson", "all", cloud, roster).body, usual.left(usual.size() - 1));
    const RawAnswer empty = answerIn("emptyBody", "all", cloud, roster);
    QVERIFY(empty.head.startsWith("HTTP/1.1 200") && empty.body.isEmpty());
    QJsonParseError error;
    QJsonDocument::fromJson(answerIn("deepNesting", "all", cloud, roster).body, &error);
    QCOMPARE(error.error, QJsonParseError::DeepNesting);
    const RawAnswer huge = answerIn("hugeBody", "all", cloud, roster);
    QVERIFY(huge.body.size() > 20 * 1024 * 1024 && huge.body.trimmed() == usual);
    const RawAnswer redirect = answerIn("redirectLoop", "all", cloud, roster);
    QVERIFY(redirect.head.startsWith("HTTP/1.1 302"));
    QCOMPARE(redirect.header("Location"), "http://127.0.0.1:" + QByteArray::number(cloud) + roster);
    const RawAnswer cut = answerIn("closeAfterHeaders", "all", cloud, roster);
    QCOMPARE(cut.header("Content-Length"), QByteArray::number(usual.size()));
    QVERIFY(cut.body.isEmpty());

    // The altered answers keep the envelope and the servers' keys.
    const QJsonObject wrong = response(answerIn("wrongTypes", "all", cloud, roster));
    QCOMPARE(wrong.keys(), servers.keys());
    QVERIFY(wrong.value("srv-office").isArray());
    for (const QJsonValue& server : response(answerIn("missingKeys", "all", cloud, roster)))
        QCOMPARE(server.toObject().size(), 1);
    QList<double> numbers;
    collectNumbers(response(answerIn("hugeNumbers", "all", cloud, roster)), numbers);
    QVERIFY(!numbers.isEmpty());
    for (double number : qAsConst(numbers))
        QVERIFY(number >= 2147483648.0);
    numbers.clear();
    collectNumbers(response(answerIn("negativeNumbers", "all", cloud, roster)), numbers);
    QVERIFY(!numbers.isEmpty());
    for (double number : qAsConst(numbers))
        QVERIFY(number < 0);
    const QJsonObject repeated = response(answerIn("repeatedIds", "all", cloud, roster));
    QCOMPARE(repeated.value("srv-office-again").toObject().value("id").toString(), QString("srv-office"));
    QCOMPARE(repeated.value("srv-office").toObject().value("cameras").toArray().size(),
             2 * servers.value("srv-office").toObject().value("cameras").toArray().size());
    const QJsonObject longNames = response(answerIn("longNames", "all", cloud, roster));
    QCOMPARE(longNames.value("srv-office").toObject().value("name").toString().size(), 100000);
    QVERIFY(longNames.value("srv-office").toObject().value("name").toString().startsWith("Office Office"));

    // Scopes: a local server's answer is altered, the cloud's not.
    for (const QJsonValue& camera : QJsonDocument::fromJson(answerIn("missingKeys", "local", local, streams).body).array())
        QCOMPARE(camera.toObject().size(), 1);
    QCOMPARE(answerIn("missingKeys", "local", cloud, roster).body, usual);

    // An unknown mode is refused and changes nothing.
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1/faults").arg(m_sim->controlPort())));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    QNetworkReply* reply = manager.post(request, R"({"answer":"politely"})");
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000);
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 400);
    QCOMPARE(m_sim->faults().answer, QString());
    reply->deleteLater();
}

void TestCamsim::rawStreamForFramepump()
{
    // camsim runs in this thread: wait with the event loop running.
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", m_sim->localPorts().first());
    QTRY_VERIFY_WITH_TIMEOUT(socket.state() == QAbstractSocket::ConnectedState, 10000);
    // framepump's request: a bare request line, the live path with "&type=su".
    socket.write("GET /flv/live?server=1&camera=1&q=2&sessionId=shop%20pass&vcodec=h264&type=su HTTP/1.1\r\n\r\n");
    QByteArray data;
    auto frameAt = [&data](int offset) -> int {
        return data.size() >= offset + 8 ? int(qFromLittleEndian<quint32>(data.constData() + offset + 4)) + 8 : -1;
    };
    auto complete = [&] {
        data += socket.readAll();
        const int end = data.indexOf("\r\n\r\n");
        const int service = end < 0 ? -1 : frameAt(end + 4);
        const int media = service < 0 ? -1 : frameAt(end + 4 + service);
        return media > 0 && data.size() >= end + 4 + service + media;
    };
    QTRY_VERIFY_WITH_TIMEOUT(complete(), 20000);
    const int header = data.indexOf("\r\n\r\n") + 4;
    QVERIFY(header > 0);
    QVERIFY(data.startsWith("HTTP/1.1 200"));
    const char* service = data.constData() + header;
    QCOMPARE(qFromLittleEndian<quint32>(service), 1u);
    QCOMPARE(qFromLittleEndian<quint32>(service + 9), 666u);
    QCOMPARE(qFromLittleEndian<quint32>(service + 13), 666u);
    const quint32 v = qFromLittleEndian<quint32>(service + 32);
    const QJsonObject description = QJsonDocument::fromJson(QByteArray(service + 36, int(v)).split('\0').first()).object();
    QCOMPARE(description.value("vcodec").toInt(), 2);
    QCOMPARE(description.value("acodec").toInt(), 2);
    QCOMPARE(description.value("width").toInt(), 640);

    const char* media = service + frameAt(header);
    const int width = int(qFromLittleEndian<quint32>(media + 9)), height = int(qFromLittleEndian<quint32>(media + 13));
    QCOMPARE(QSize(width, height), QSize(640, 480));
    const quint32 videoSize = qFromLittleEndian<quint32>(media + 32);
    QCOMPARE(int(videoSize), width * height * 3 / 2);
    const quint32 audioSize = qFromLittleEndian<quint32>(media + 36 + videoSize);
    QCOMPARE(int(audioSize), 8000 / 25);
    QCOMPARE(qint64(qFromLittleEndian<quint32>(media + 4)), qint64(52 + videoSize + audioSize));
}

void TestCamsim::framepumpDecodesTheRawStream()
{
    GUI::Player::FrameFile frameFile;
    QVERIFY(frameFile.open());
    const QString path = "/flv/live?server=1&camera=1&q=2&sessionId=shop%20pass&type=su";
    WorkerRun framepump(FRAMEPUMP_BIN, {"127.0.0.1", QString::number(m_sim->localPorts().first()), path, frameFile.name()});
    QVERIFY2(framepump.waitForLine("size 640 480"), qPrintable(framepump.errors()));
    QVERIFY(framepump.waitForLine("frame"));
    // The picture's colour bars, below the name and the clock and away from the
    // moving block: grey first, blue last.
    const auto pixel = [&frameFile](int x, int y) {
        return QColor::fromRgb(reinterpret_cast<const QRgb*>(frameFile.data())[y * 640 + x]);
    };
    const QColor grey = pixel(640 / 14, 480 * 3 / 4);
    const QColor blue = pixel(640 * 13 / 14, 480 * 3 / 4);
    QVERIFY2(qAbs(grey.red() - 0xc0) < 8 && qAbs(grey.green() - 0xc0) < 8 && qAbs(grey.blue() - 0xc0) < 8,
             qPrintable(grey.name()));
    QVERIFY2(blue.red() < 12 && blue.green() < 12 && qAbs(blue.blue() - 0xc0) < 10, qPrintable(blue.name()));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestCamsim test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_camsim.moc"
