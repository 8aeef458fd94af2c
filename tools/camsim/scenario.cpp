#include "scenario.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace Camsim {

namespace {

const char defaultScenario[] = R"({
  "port": 0,
  "cheap": false,
  "version": "6.1.4.100",
  "accounts": [ { "email": "demo@orvanta.example", "password": "demo" } ],
  "cloudServers": [
    { "id": "srv-office", "name": "Office", "online": true, "ptzPatrol": true, "cameras": [
      { "id": 1, "name": "Entrance", "width": 1280, "height": 720, "ptz": true, "patrols": [1, 3] },
      { "id": 2, "name": "Parking", "rotation": 90 },
      { "id": 3, "name": "Storage", "online": false },
      { "id": 4, "name": "Lobby", "paid": false },
      { "id": 5, "name": "Corridor", "rights": ["live"] },
      { "id": 6, "name": "Reception", "mirror": true, "archive": false }
    ] },
    { "id": "srv-warehouse", "name": "Warehouse", "online": false, "cameras": [
      { "id": 1, "name": "Gate" }
    ] }
  ],
  "localServers": [
    { "name": "Shop", "port": 0, "password": "shop pass", "cameras": [
      { "id": 1, "name": "Counter", "ptz": true },
      { "id": 2, "name": "Back door", "width": 1280, "height": 720 }
    ] },
    { "name": "Home", "port": 0, "password": "home", "cameras": [
      { "id": 1, "name": "Garden", "fps": 15 }
    ] }
  ],
  "faults": {}
})";

QStringList strings(const QJsonArray& array)
{
    QStringList list;
    for (const QJsonValue& value : array)
        list << value.toString();
    return list;
}

CameraSpec cameraFrom(const QJsonObject& json)
{
    CameraSpec camera;
    camera.id = json.value("id").toInt(1);
    camera.name = json.value("name").toString(QStringLiteral("Camera %1").arg(camera.id));
    camera.width = qBound(16, json.value("width").toInt(640), 3840) & ~1;
    camera.height = qBound(16, json.value("height").toInt(480), 2160) & ~1;
    camera.fps = qBound(1, json.value("fps").toInt(25), 60);
    camera.online = json.value("online").toBool(true);
    camera.paid = json.value("paid").toBool(true);
    if (json.contains("rights"))
        camera.rights = strings(json.value("rights").toArray());
    camera.ptz = json.value("ptz").toBool(false);
    for (const QJsonValue& route : json.value("patrols").toArray())
        camera.patrols << route.toInt();
    camera.rotation = json.value("rotation").toInt(0);
    camera.mirror = json.value("mirror").toBool(false);
    camera.archive = json.value("archive").toBool(true);
    return camera;
}

ServerSpec serverFrom(const QJsonObject& json)
{
    ServerSpec server;
    server.id = json.value("id").toString();
    server.name = json.value("name").toString(server.id);
    server.online = json.value("online").toBool(true);
    server.ptzPatrol = json.value("ptzPatrol").toBool(false);
    server.port = quint16(json.value("port").toInt(0));
    server.password = json.value("password").toString();
    for (const QJsonValue& camera : json.value("cameras").toArray())
        server.cameras << cameraFrom(camera.toObject());
    return server;
}

// "cameras": N adds N plain cameras on cloud servers of "camerasPerServer"
// each (1000 by default), for rosters far larger than anyone would write out.
// Every eighth camera is offline, and their names sort in id order.
QList<ServerSpec> generatedServers(const QJsonObject& json)
{
    constexpr int most = 100000;
    const int count = qBound(0, json.value("cameras").toInt(0), most);
    const int perServer = qBound(1, json.value("camerasPerServer").toInt(1000), most);
    QList<ServerSpec> servers;
    for (int first = 0; first < count; first += perServer) {
        ServerSpec server;
        const int number = servers.size() + 1;
        server.id = QStringLiteral("gen-%1").arg(number);
        server.name = QStringLiteral("Site %1").arg(number, 3, 10, QLatin1Char('0'));
        const int last = qMin(count, first + perServer);
        server.cameras.reserve(last - first);
        for (int id = 1; id <= last - first; ++id) {
            CameraSpec camera;
            camera.id = id;
            camera.name = QStringLiteral("Camera %1-%2").arg(number).arg(id, 5, 10, QLatin1Char('0'));
            camera.online = id % 8 != 0;
            server.cameras << camera;
        }
        servers << server;
    }
    return servers;
}

} // namespace

QJsonObject Scenario::defaultJson()
{
    return QJsonDocument::fromJson(defaultScenario).object();
}

Scenario Scenario::defaults()
{
    return fromJson(QJsonObject());
}

Scenario Scenario::fromJson(const QJsonObject& given)
{
    QJsonObject json = defaultJson();
    for (auto it = given.constBegin(); it != given.constEnd(); ++it)
        json.insert(it.key(), it.value());

    Scenario scenario;
    scenario.port = quint16(json.value("port").toInt(0));
    scenario.version = json.value("version").toString(scenario.version);
    scenario.cheap = json.value("cheap").toBool(false);
    for (const QJsonValue& value : json.value("accounts").toArray())
        scenario.accounts << Account{value.toObject().value("email").toString(),
                                     value.toObject().value("password").toString()};
    for (const QJsonValue& value : json.value("cloudServers").toArray())
        scenario.cloudServers << serverFrom(value.toObject());
    scenario.cloudServers << generatedServers(json);
    for (const QJsonValue& value : json.value("localServers").toArray())
        scenario.localServers << serverFrom(value.toObject());
    scenario.faults = json.value("faults").toObject();
    return scenario;
}

} // namespace Camsim
