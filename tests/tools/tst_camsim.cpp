// camsim as the client sees it: its answers read through the client's own
// classes, and its streams checked with ffprobe.
#include "simulator.h"
#include "cameraroutes.h"
#include "cloudservice.h"
#include "flvlivestream.h"
#include "flvloop.h"
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
#include <QRandomGenerator>
#include <QTcpServer>
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

// The tags of an FLV stream as they arrive, each with the live clock's time
// of its arrival.
struct FlvReceiver
{
    struct Tag
    {
        quint8 type;
        qint64 timestamp;
        QByteArray data;
        qint64 arrival;
        bool isPicture() const { return type == 9 && data.size() > 1 && data.at(1) == 1; }
        bool isKey() const { return isPicture() && quint8(data.at(0)) >> 4 == 1; }
    };
    bool httpHead = true;
    bool flvHeader = true;
    QByteArray buffer;
    QList<Tag> tags;
    QList<Tag> pictures;

    void feed(const QByteArray& bytes)
    {
        buffer += bytes;
        if (httpHead) {
            const int end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            buffer.remove(0, end + 4);
            httpHead = false;
        }
        if (flvHeader) {
            if (buffer.size() < 13)
                return;
            QVERIFY(buffer.startsWith("FLV"));
            buffer.remove(0, 13);
            flvHeader = false;
        }
        int at = 0;
        while (buffer.size() - at >= 15) {
            const auto* head = reinterpret_cast<const uchar*>(buffer.constData() + at);
            const int size = head[1] << 16 | head[2] << 8 | head[3];
            if (buffer.size() - at < 15 + size)
                break;
            const qint64 timestamp = qint64(head[4]) << 16 | head[5] << 8 | head[6] | qint64(head[7]) << 24;
            tags.append({head[0], timestamp, buffer.mid(at + 11, size), Camsim::FlvLiveStream::clockMs()});
            if (tags.last().isPicture())
                pictures.append(tags.last());
            at += 15 + size;
        }
        buffer.remove(0, at);
    }
};

// A number of an onMetaData tag.
double metaNumber(const QByteArray& script, const QByteArray& key)
{
    const int at = script.indexOf(QByteArray(1, '\0') + char(key.size()) + key + '\0') + key.size() + 3;
    return at < key.size() + 3 || at + 8 > script.size() ? -1 : qFromBigEndian<double>(script.constData() + at);
}

QByteArray flvTag(quint8 type, quint32 timestamp, const QByteArray& data)
{
    const quint32 size = quint32(data.size());
    const char head[11] = {char(type), char(size >> 16), char(size >> 8), char(size), char(timestamp >> 16),
                           char(timestamp >> 8), char(timestamp), char(timestamp >> 24), 0, 0, 0};
    QByteArray previous(4, '\0');
    qToBigEndian(11 + size, previous.data());
    return QByteArray(head, 11) + data + previous;
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
    void cheapLiveStreamStartsAtTheCurrentKeyFrame();
    void loopPlaysRoundAfterRoundAndRefusesBrokenFiles();

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

void TestCamsim::cheapLiveStreamStartsAtTheCurrentKeyFrame()
{
    const QJsonObject config{{"cheap", true}, {"cloudServers", QJsonArray()},
                             {"localServers", QJsonArray{QJsonObject{{"name", "Wall"}, {"password", "wall"},
                                                                     {"cameras", QJsonArray{QJsonObject{{"id", 1}}}}}}}};
    Camsim::Simulator sim(Camsim::Scenario::fromJson(config));
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    const Camsim::CameraSpec camera = sim.scenario().localServers.first().cameras.first();
    auto watch = [&sim](QTcpSocket& socket, FlvReceiver& receiver, int quality) {
        QObject::connect(&socket, &QIODevice::readyRead, [&] { receiver.feed(socket.readAll()); });
        socket.connectToHost("127.0.0.1", sim.localPorts().first());
        socket.write(QString("GET /flv/live?sessionId=wall&camera=1&q=%1 HTTP/1.1\r\n\r\n").arg(quality).toLatin1());
    };

    // The light streams: each quality its own picture size.
    for (int quality = 0; quality < 3; ++quality) {
        QTcpSocket socket;
        FlvReceiver receiver;
        watch(socket, receiver, quality);
        QTRY_VERIFY_WITH_TIMEOUT(!receiver.tags.isEmpty(), 20000);
        const QByteArray& script = receiver.tags.first().data;
        QCOMPARE(QSize(int(metaNumber(script, "width")), int(metaNumber(script, "height"))),
                 Camsim::CameraRoutes::streamSize(camera, quality));
    }

    // Asked late in a 2 s GOP, so that the pictures of that GOP so far make a
    // burst that pacing from the request would take over a second to send.
    // The loop is 10 s long; cameras are spread over it.
    const qint64 offset = Camsim::CameraRoutes::livePhaseMs(camera, 10000);
    const auto phase = [offset] { return (Camsim::FlvLiveStream::clockMs() + offset) % 2000; };
    QTRY_VERIFY_WITH_TIMEOUT(phase() >= 1500 && phase() < 1700, 10000);
    const qint64 asked = Camsim::FlvLiveStream::clockMs();
    QTcpSocket socket;
    FlvReceiver receiver;
    watch(socket, receiver, 0);
    QTRY_VERIFY_WITH_TIMEOUT(!receiver.pictures.isEmpty() && receiver.pictures.last().timestamp >= 4000, 20000);
    const QList<FlvReceiver::Tag>& tags = receiver.tags;
    QCOMPARE(tags.at(0).type, quint8(18));
    QCOMPARE(metaNumber(tags.at(0).data, "duration"), 0.0); // a live stream, not a ten-second clip
    QCOMPARE(tags.at(1).type, quint8(9));
    QCOMPARE(tags.at(1).data.left(2), QByteArray("\x17\x00", 2)); // the AVC sequence header
    QVERIFY(tags.at(2).isKey());
    QCOMPARE(tags.at(2).timestamp, 0);
    qint64 previous = -1;
    for (const FlvReceiver::Tag& picture : receiver.pictures) {
        QVERIFY(picture.timestamp > previous);
        previous = picture.timestamp;
        // Never ahead of real time by more than the GOP it started in.
        QVERIFY2(picture.timestamp < picture.arrival - asked + 2000, qPrintable(QString::number(picture.timestamp)));
        if (picture.timestamp >= 1400)
            QVERIFY2(picture.arrival - asked < 1000 || picture.timestamp > 1500, "no burst of the current GOP");
    }
}

void TestCamsim::loopPlaysRoundAfterRoundAndRefusesBrokenFiles()
{
    // A one-second loop of ten pictures, key frames at 0 and 500 ms, the
    // picture's number in its last byte, ended as ffmpeg ends a file.
    const QByteArray meta = QByteArray("\x02\x00\x0aonMetaData\x08\x00\x00\x00\x01\x00\x08" "duration\x00", 29)
                            + QByteArray("\x3f\xf0\0\0\0\0\0\0\0\0\x09", 11);
    QByteArray file = QByteArray("FLV\x01\x01\0\0\0\x09\0\0\0\0", 13) + flvTag(18, 0, meta)
                      + flvTag(9, 0, QByteArray("\x17\x00\0\0\0\x01", 6));
    QList<int> boundaries{13, int(file.size())};
    for (int i = 0; i < 10; ++i) {
        file += flvTag(9, quint32(i * 100), QByteArray(i % 5 ? "\x27\x01" : "\x17\x01", 2) + QByteArray(3, '\0') + char(i));
        boundaries << int(file.size());
    }
    file += flvTag(9, 900, QByteArray("\x17\x02\0\0\0", 5));
    boundaries << int(file.size());
    QString error;
    const std::shared_ptr<const Camsim::FlvLoop> loop = Camsim::FlvLoop::parse(file, &error);
    QVERIFY2(loop, qPrintable(error));
    QCOMPARE(loop->duration(), 1000);
    QCOMPARE(loop->frames().size(), 10);

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QTcpSocket client;
    FlvReceiver receiver;
    receiver.httpHead = false;
    connect(&client, &QIODevice::readyRead, [&] { receiver.feed(client.readAll()); });
    client.connectToHost("127.0.0.1", server.serverPort());
    QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 10000);
    QPointer<Camsim::FlvLiveStream> stream = new Camsim::FlvLiveStream(server.nextPendingConnection(), loop, 0, 0, &server);
    QTRY_VERIFY_WITH_TIMEOUT(receiver.pictures.size() >= 25, 20000);
    // Round after round the pictures follow on, their timestamps rising evenly.
    const QList<FlvReceiver::Tag>& pictures = receiver.pictures;
    QVERIFY(pictures.first().isKey() && pictures.first().timestamp == 0);
    for (int i = 1; i < pictures.size(); ++i) {
        QCOMPARE(pictures.at(i).timestamp - pictures.at(i - 1).timestamp, 100);
        QCOMPARE(pictures.at(i).data.at(5), char((pictures.at(i - 1).data.at(5) + 1) % 10));
    }
    client.disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(stream.isNull(), 10000);

    // A file cut inside a tag, a tag longer than the file, a wrong size after
    // a tag, a loop without a key frame: each a clear error.
    for (int cut = 0; cut < file.size(); ++cut) {
        const bool read = Camsim::FlvLoop::parse(file.left(cut), &error) != nullptr;
        QVERIFY(read || !error.isEmpty());
        QVERIFY2(!read || boundaries.contains(cut), qPrintable(QString::number(cut)));
    }
    QByteArray broken = file;
    broken[13 + 1] = '\x7f';
    QVERIFY(!Camsim::FlvLoop::parse(broken, &error) && error.contains("claims"));
    broken = file;
    broken[boundaries.at(1) - 1] = '\x01';
    QVERIFY(!Camsim::FlvLoop::parse(broken, &error) && error.contains("ends with size"));
    QVERIFY(!Camsim::FlvLoop::parse(file.replace("\x17\x01", "\x27\x01"), &error) && error.contains("key frame"));
    QRandomGenerator random(7);
    for (int i = 0; i < 2000; ++i) {
        broken = file;
        broken[random.bounded(broken.size())] = char(random.bounded(256));
        QVERIFY(Camsim::FlvLoop::parse(broken, &error) || !error.isEmpty());
    }
    QFile garbage(m_dir.filePath("garbage.flv"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("FLV\x01\x05 not a loop");
    garbage.close();
    QVERIFY(!Camsim::FlvLoop::load(garbage.fileName(), &error) && error.contains("garbage.flv"));
    QVERIFY(!Camsim::FlvLoop::load(m_dir.filePath("none.flv"), &error) && error.contains("none.flv"));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestCamsim test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_camsim.moc"
