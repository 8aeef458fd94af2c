#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace OrvantaClient::API {

// A tour: stored layouts shown one after the other in a loop, each for the
// same time, or every camera of the account full-window in turn. It names the
// layouts by id only: one removed since is skipped when its turn comes.
struct Tour
{
    static constexpr int minDwellSeconds = 5;
    static constexpr int maxDwellSeconds = 600;
    static constexpr int defaultDwellSeconds = 15;

    QString id;
    QString name;
    QStringList layoutIds; // in the order shown; unused when allCameras
    bool allCameras = false;
    int dwellSeconds = defaultDwellSeconds;

    bool isValid() const { return !id.isEmpty(); }

    QJsonObject toJson() const;
    // Null (no id) when json is not a tour; a dwell out of range is brought
    // inside and entries that are not layout ids are dropped.
    static Tour fromJson(const QJsonObject& json);
};

} // namespace OrvantaClient::API
