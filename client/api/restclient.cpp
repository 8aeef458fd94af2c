#include "restclient.h"

#include "problemlog.h"
#include "core/constants.h"
#include "core/deployment.h"

#include <QDebug>
#include <QUrlQuery>

namespace OrvantaClient::API {

namespace {

QUrl apiHost()
{
    return App::Deployment::instance().api();
}

} // namespace

RestClient::RestClient()
    : m_http(apiHost().host(), apiHost().port(0), apiHost().scheme() == QLatin1String("https"), true)
{
    connect(&m_http, qOverload<QJsonDocument>(&HTTPClient::finished), this, &RestClient::httpReply);
    connect(&m_http, &HTTPClient::error, this, &RestClient::error);
}

void RestClient::get(QString path, QVariantMap params)
{
    m_http.get(QLatin1Char('/') + path, params, true);
}

void RestClient::del(QString path, QVariantMap params)
{
    m_http.del(QLatin1Char('/') + path, params, true);
}

void RestClient::post(QString path, QVariantMap params, QByteArray data)
{
    m_http.post(QLatin1Char('/') + path, params, data, QStringLiteral("application/json"), true);
}

void RestClient::postForm(QString path, QVariantMap params)
{
    m_http.post(QLatin1Char('/') + path, formBody(params), QStringLiteral("application/x-www-form-urlencoded"), true);
}

QByteArray RestClient::formBody(const QVariantMap& params)
{
    QUrlQuery query;
    for (auto it = params.constBegin(); it != params.constEnd(); ++it)
        query.addQueryItem(it.key(), it.value().toString());
    return query.query(QUrl::FullyEncoded).toUtf8();
}

RestClient::Envelope RestClient::unwrap(const QJsonDocument& answer)
{
    const QJsonObject envelope = answer.object();
    Envelope result;
    if (!envelope.contains(QStringLiteral("success")))
        return result;
    result.present = true;
    const QJsonValue carried = envelope.value(QStringLiteral("response"));
    result.carriesObject = carried.isUndefined() || carried.isObject();
    result.carriesArray = carried.isArray();
    result.response = carried.toObject();
    result.success = envelope.value(QStringLiteral("success")).toBool(false);
    result.code = result.success ? 0 : result.response.value(QStringLiteral("code")).toInt(0);
    if (!result.success)
        result.alias = result.response.value(QStringLiteral("code_alias")).toString();
    return result;
}

void RestClient::httpReply(QJsonDocument response)
{
    // The service's own verdicts are logged apart from the transport's: an
    // answer that arrived well may still be a refusal, every time.
    const QString source = m_http.source() + QStringLiteral(" service");
    const Envelope envelope = unwrap(response);
    if (!envelope.present) {
        if (ProblemLog::first(source, QStringLiteral("no envelope")))
            qDebug() << "HTTP Rest response is not contains success keyword";
        emit error(-2, 400);
        return;
    }
    if (!envelope.carriesObject) {
        // Read as an object it would be an empty one: a roster without
        // servers, say, which is an answer of its own.
        if (ProblemLog::first(source, QStringLiteral("response type")))
            qDebug() << "HTTP Rest response holds no object but" << (envelope.carriesArray ? "an array" : "a value");
        emit error(-2, 400);
        return;
    }
    if (envelope.success) {
        ProblemLog::recovered(source);
        emit jsonReceived(envelope.response);
        return;
    }
    if (ProblemLog::first(source, QStringLiteral("refusal %1").arg(envelope.code)))
        qDebug() << "HTTP Rest responce is not successful" << envelope.code
                 << HTTPClient::logExcerpt(envelope.alias.toUtf8()) << errorMessage(envelope.code);
    emit error(envelope.code, 500);
}

QString RestClient::errorMessage(int code)
{
    // These texts go to the log, which is kept in English.
    const QString service = QStringLiteral("Orvanta");
    const QString application = QString::fromLatin1(App::Constants::applicationName);
    switch (code) {
    case 10000:
        return QStringLiteral("%1 service error: the command is not supported. Please update %2").arg(service, application);
    case 10001:
        return QStringLiteral("Could not sign in. Please check your login and password and try again");
    case 10002:
        return QStringLiteral("Error checking session code. Please try to restart %1").arg(application);
    case 10003:
        return QStringLiteral("Access error: you don't have enough rights for requested operation");
    case 10004:
        return QStringLiteral("%1 service error: requestet resource is not found").arg(service);
    case 10005:
        return QStringLiteral("%1 service error: resource already exists").arg(service);
    case 10006:
        return QStringLiteral("%1 service error: requested user does not exist").arg(service);
    case 10016:
        return QStringLiteral("You have attempted to sign in too often in a short period of time. Please try again in 30 "
                  "seconds");
    case -1:
        return QStringLiteral("%1 reports about unknown service error. Please update %2").arg(service, application);
    case -2:
        return QStringLiteral("Error in HTTP data format. Please check your internet connection and check if you are using "
                  "the latest version of %1")
            .arg(application);
    case -3:
        return QStringLiteral("Error communicating with %1 server. It is possible that %1 service is temporary unavailable. "
                  "Please contact our support or try again later")
            .arg(service);
    case -4:
        return QStringLiteral("Error communicating with %1 servers. There may be a problem with your computer's internet "
                  "connection or with application's proxy settings.\nPlease check your internet connection or set "
                  "correct proxy settings in the \"Settings\" menu and try again")
            .arg(service);
    default:
        return QStringLiteral("Unknown error");
    }
}

} // namespace OrvantaClient::API
