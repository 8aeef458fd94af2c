#include "tour.h"

#include <QJsonArray>

namespace OrvantaClient::API {

QJsonObject Tour::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), name},
        {QStringLiteral("layouts"), QJsonArray::fromStringList(layoutIds)},
        {QStringLiteral("allCameras"), allCameras},
        {QStringLiteral("dwell"), dwellSeconds},
    };
}

Tour Tour::fromJson(const QJsonObject& json)
{
    Tour tour;
    const QJsonValue id = json.value(QStringLiteral("id"));
    if (!id.isString() || id.toString().isEmpty())
        return tour;
    tour.id = id.toString();
    tour.name = json.value(QStringLiteral("name")).toString();
    for (const QJsonValue& layout : json.value(QStringLiteral("layouts")).toArray()) {
        if (layout.isString() && !layout.toString().isEmpty())
            tour.layoutIds << layout.toString();
    }
    tour.allCameras = json.value(QStringLiteral("allCameras")).toBool();
    // toInt of a fraction or a huge number gives the default, never garbage.
    tour.dwellSeconds = qBound(minDwellSeconds, json.value(QStringLiteral("dwell")).toInt(defaultDwellSeconds),
                               maxDwellSeconds);
    return tour;
}

} // namespace OrvantaClient::API
