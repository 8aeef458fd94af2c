#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace Camsim {

struct CameraSpec
{
    int id = 1;
    QString name;
    int width = 640;
    int height = 480;
    int fps = 25;
    bool online = true;
    bool paid = true;
    QStringList rights{"owner", "live", "archive", "ptz"};
    bool ptz = false;
    QList<int> patrols;
    int rotation = 0;
    bool mirror = false;
    bool archive = true; // has recordings at all
};

struct ServerSpec
{
    QString id;      // cloud servers
    QString name;
    bool online = true;
    bool ptzPatrol = false;
    quint16 port = 0;  // local servers; 0 picks a free one
    QString password;  // local servers
    QList<CameraSpec> cameras;
};

struct Account
{
    QString email;
    QString password;
};

// What the simulated world holds: accounts, cloud servers and local servers.
struct Scenario
{
    quint16 port = 0; // the cloud service; 0 picks a free one
    QString version = QStringLiteral("6.1.4.100");
    bool cheap = false; // stream a pre-encoded loop instead of encoding live
    QList<Account> accounts;
    QList<ServerSpec> cloudServers;
    QList<ServerSpec> localServers;
    QJsonObject faults;

    // The built-in scenario: every state the client shows.
    static Scenario defaults();
    // Reads a configuration; missing parts fall back to the built-in scenario.
    static Scenario fromJson(const QJsonObject& json);
    static QJsonObject defaultJson();
};

} // namespace Camsim
