#include "weblinks.h"

#include "constants.h"
#include "deployment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace OrvantaClient::App {

QUrl WebLinks::page(const QString& pageName, const QString& language)
{
    QUrl url = Deployment::instance().web();
    url.setPath(QLatin1Char('/') + pageName);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("lang"), language);
    url.setQuery(query);
    return url;
}

QUrl WebLinks::downloads(const QString& language)
{
    QUrl url = page(QStringLiteral("downloads"), language);
    url.setFragment(QStringLiteral("client"));
    return url;
}

QUrl WebLinks::passwordRecovery(const QString& language)
{
    return page(QStringLiteral("password-recover"), language);
}

QUrl WebLinks::signUp(const QString& language)
{
    return page(QStringLiteral("sign_up"), language);
}

QUrl WebLinks::addingCameraTariff(const QString& language, const QString& serverId, int cameraId,
                                  const QString& sessionId)
{
    const QJsonObject client{
        {QStringLiteral("platform"), QString::fromLatin1(Constants::platformName)},
        {QStringLiteral("type"), QStringLiteral("desktop")},
        {QStringLiteral("version"), QString::fromLatin1(Constants::applicationVersion)},
    };
    const QJsonObject go{
        {QStringLiteral("src"), QJsonObject{{QStringLiteral("client"), client},
                                            {QStringLiteral("event"), QStringLiteral("setup-tariff-from-player")}}},
        {QStringLiteral("session"), sessionId},
        {QStringLiteral("action"), QStringLiteral("configure")},
        {QStringLiteral("cameras"), QJsonObject{{serverId, QJsonArray{QString::number(cameraId)}}}},
    };
    const QByteArray json = QJsonDocument(go).toJson(QJsonDocument::Compact);

    QUrl url = page(QStringLiteral("my-tariff"), language);
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("_go"), QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(json))));
    url.setQuery(query);
    return url;
}

} // namespace OrvantaClient::App
