#pragma once

#include <QJsonObject>

namespace Camsim {

// Misbehaviour on demand, for tests: set in the configuration ("faults") or at
// run time through the control port (POST /faults with the same JSON).
struct Faults
{
    QString scope = QStringLiteral("all"); // "all", "cloud" or "local"
    int delayMs = 0;           // answer only after this long
    bool status500 = false;    // answer every request with HTTP 500
    bool garbage = false;      // answer every request with bytes that are not JSON
    int dropStreamAfterSecs = 0; // cut every video stream after this long
    bool stall = false;        // accept requests and never answer
    bool refuse = false;       // refuse connections
    QString answer;            // one of HostileAnswer::modes(), or empty for the usual answers

    static Faults fromJson(const QJsonObject& json);
    QJsonObject toJson() const;
    bool appliesTo(bool cloud) const
    {
        return scope == QLatin1String("all") || scope == QLatin1String(cloud ? "cloud" : "local");
    }
};

} // namespace Camsim
