#include "httpclient.h"

#include "problemlog.h"
#include "core/settings.h"

#include <QDebug>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QScopedPointer>
#include <QUrlQuery>

namespace OrvantaClient::API {

namespace {

int& defaultTimeout()
{
    static int timeout = 30000;
    return timeout;
}

const QString methodGet = QStringLiteral("GET");
const QString methodDelete = QStringLiteral("DELETE");
const QString methodPost = QStringLiteral("POST");
const char* const tooLargeProperty = "wdTooLarge";

} // namespace

HTTPClient::HTTPClient(QString host, int port, bool https, bool useProxy)
    : m_transferTimeout(defaultTimeout())
{
    m_base.setScheme(https ? QStringLiteral("https") : QStringLiteral("http"));
    m_base.setHost(host, QUrl::DecodedMode);
    if (port != 0)
        m_base.setPort(port);
    m_url = m_base;

    if (useProxy) {
        // Read once: a change of the proxy settings affects clients built later.
        App::Settings& settings = App::Settings::instance();
        if (settings.value(QStringLiteral("proxy/useProxy"), false).toBool()) {
            const QNetworkProxy proxy(QNetworkProxy::HttpProxy,
                                      settings.value(QStringLiteral("proxy/host")).toString(),
                                      quint16(settings.intValue(QStringLiteral("proxy/port"), 0, 0, 65535)),
                                      settings.value(QStringLiteral("proxy/username")).toString(),
                                      settings.value(QStringLiteral("proxy/password")).toString());
            m_manager.setProxy(proxy);
        }
    }
}

HTTPClient::HTTPClient(QString host, bool https, bool useProxy)
    : HTTPClient(host, 0, https, useProxy)
{
}

HTTPClient::~HTTPClient()
{
    for (QNetworkReply* reply : qAsConst(m_pendingReplies)) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}

void HTTPClient::setTransferTimeout(int milliseconds)
{
    m_transferTimeout = milliseconds;
}

void HTTPClient::setDefaultTransferTimeout(int milliseconds)
{
    defaultTimeout() = milliseconds;
}

int HTTPClient::defaultTransferTimeout()
{
    return defaultTimeout();
}

QString HTTPClient::logExcerpt(const QByteArray& data)
{
    // A broken or hostile peer may answer with megabytes; the log gets enough
    // to recognise the answer, not the answer itself.
    if (data.size() <= logExcerptSize)
        return QString::fromUtf8(data);
    return QString::fromUtf8(data.left(logExcerptSize)) + QStringLiteral("...");
}

QString HTTPClient::source() const
{
    return m_base.toString();
}

bool HTTPClient::firstProblem(const QString& kind) const
{
    return ProblemLog::first(source(), kind);
}

void HTTPClient::watchSize(QNetworkReply* reply)
{
    // Stopped as soon as the size is known to be too big: neither the memory
    // of a 20 MB answer nor the time to parse it is spent.
    auto stopIfTooLarge = [reply](qint64 size) {
        if (size <= maxAnswerSize || reply->property(tooLargeProperty).toBool())
            return;
        reply->setProperty(tooLargeProperty, size);
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, stopIfTooLarge] {
        bool known = false;
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known)
            stopIfTooLarge(announced);
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [stopIfTooLarge](qint64 received, qint64) { stopIfTooLarge(received); });
}

void HTTPClient::get(QString path, QVariantMap params, bool json)
{
    start(methodGet, path, params, json);
    send();
}

void HTTPClient::del(QString path, QVariantMap params, bool json)
{
    start(methodDelete, path, params, json);
    send();
}

void HTTPClient::post(QString path, QVariantMap params, QByteArray data, QString contentType, bool json)
{
    start(methodPost, path, params, json);
    m_postData = data;
    m_contentType = contentType;
    send();
}

void HTTPClient::post(QString path, QByteArray data, QString contentType, bool json)
{
    post(path, QVariantMap(), data, contentType, json);
}

void HTTPClient::start(const QString& method, const QString& path, const QVariantMap& params, bool json)
{
    // A new request from the caller starts from the client's own host, even
    // after an earlier request was redirected elsewhere: a redirect replaces
    // the whole URL, so scheme, host and port are taken afresh as well.
    m_redirectCount = 0;
    m_method = method;
    m_json = json;
    m_url = m_base;
    m_url.setPath(path, QUrl::DecodedMode);
    QUrlQuery query;
    for (auto it = params.constBegin(); it != params.constEnd(); ++it)
        query.addQueryItem(it.key(), it.value().toString());
    if (query.isEmpty())
        m_url.setQuery(QString());
    else
        m_url.setQuery(query);
}

void HTTPClient::follow(const QUrl& target)
{
    // The target is used as the answer gives it: a path-only target yields a
    // URL without host, which then fails like any unreachable address.
    m_url = target;
    send();
}

void HTTPClient::send()
{
    QNetworkRequest request(m_url);
    request.setRawHeader("Accept", m_json ? QByteArrayLiteral("application/json") : QByteArrayLiteral("*/*"));
    request.setTransferTimeout(m_transferTimeout);

    QNetworkReply* reply = nullptr;
    if (m_method == methodPost) {
        request.setRawHeader("Content-Type", m_contentType.toLatin1());
        reply = m_manager.post(request, m_postData);
    } else if (m_method == methodDelete) {
        reply = m_manager.deleteResource(request);
    } else {
        reply = m_manager.get(request);
    }
    m_pendingReplies.append(reply);
    connect(reply, &QNetworkReply::finished, this, &HTTPClient::httpReply);
    watchSize(reply);
}

void HTTPClient::fail(int errorCode, int httpStatus)
{
    m_redirectCount = 0;
    emit error(errorCode, httpStatus);
}

void HTTPClient::httpReply()
{
    auto* sender = qobject_cast<QNetworkReply*>(QObject::sender());
    if (!sender) {
        qDebug() << "HTTP responce received but reply is null pointer";
        fail(1, -1);
        return;
    }
    // Released when this handler returns, whichever way it leaves.
    QScopedPointer<QNetworkReply, QScopedPointerDeleteLater> reply(sender);
    m_pendingReplies.removeAll(sender);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const qint64 tooLarge = reply->property(tooLargeProperty).toLongLong();
    if (tooLarge > 0) {
        if (firstProblem(QStringLiteral("too large")))
            qDebug() << "HTTP answer too large: at least" << tooLarge << "bytes, more than" << maxAnswerSize;
        fail(-2, 400);
        return;
    }
    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (target.isEmpty()) {
        const bool success = status >= 200 && status <= 299;
        const QByteArray body = success ? reply->readAll() : QByteArray();
        bool lengthKnown = false;
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&lengthKnown);
        if (success && (reply->error() != QNetworkReply::NoError || (lengthKnown && body.size() < length))) {
            // A connection closed before the promised body is no answer at
            // all, whatever its status line said.
            if (firstProblem(QStringLiteral("cut short")))
                qDebug() << "HTTP answer cut short:" << body.size() << "of" << (lengthKnown ? length : -1) << "bytes,"
                         << reply->errorString();
            fail(-3, 0);
            return;
        }
        if (success) {
            m_redirectCount = 0;
            if (!m_json) {
                ProblemLog::recovered(source());
                emit finished(body);
                return;
            }
            QJsonParseError parseError;
            const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
            if (parseError.error != QJsonParseError::NoError) {
                if (firstProblem(QStringLiteral("parse")))
                    qDebug() << "HTTP bad data: cannot parse response:" << logExcerpt(body) << "Reason: "
                             << parseError.errorString() << "Size:" << body.size();
                fail(-2, 400);
                return;
            }
            ProblemLog::recovered(source());
            emit finished(document);
            return;
        }
        if (status != 0 && firstProblem(QStringLiteral("status %1").arg(status)))
            qDebug() << "HTTP error:" << status << reply->errorString();
        fail(-3, status);
        return;
    }

    if (!target.isValid()) {
        if (firstProblem(QStringLiteral("redirect address")))
            qDebug() << "Bad redirect address";
        fail(-3, 302);
        return;
    }
    if (m_method == methodDelete) {
        // Following would silently turn a deletion into something else.
        if (firstProblem(QStringLiteral("redirect of delete")))
            qDebug() << "HTTP error:" << status << "redirect of a DELETE request is not followed";
        fail(-3, status);
        return;
    }
    if (m_redirectCount >= maxRedirects) {
        if (firstProblem(QStringLiteral("redirects")))
            qDebug() << "HTTP error:" << status << "too many redirects";
        fail(-3, status);
        return;
    }
    ++m_redirectCount;
    follow(QUrl(target.toString(), QUrl::TolerantMode));
}

} // namespace OrvantaClient::API
