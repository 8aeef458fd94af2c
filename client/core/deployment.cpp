#include "deployment.h"

#include "constants.h"

#include <QDebug>
#include <QFileInfo>
#include <QSettings>

#ifndef WATCHDESK_API_HOST
#error "WATCHDESK_API_HOST must be defined by the build"
#endif

namespace OrvantaClient::App {

namespace {

// A base URL: http or https, a host, perhaps a port, and nothing else. Port 0
// cannot be connected to; the transport would quietly take the scheme's own.
bool isBaseUrl(const QUrl& url)
{
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty() && url.port() != 0 && (url.path().isEmpty() || url.path() == QLatin1String("/"))
        && !url.hasQuery() && !url.hasFragment() && url.userInfo().isEmpty();
}

QUrl hostUrl(const QUrl& url)
{
    QUrl base;
    base.setScheme(url.scheme());
    base.setHost(url.host());
    base.setPort(url.port());
    return base;
}

void override(QSettings& ini, const char* key, QUrl& target)
{
    const QString fullKey = QStringLiteral("service/") + QLatin1String(key);
    if (!ini.contains(fullKey))
        return;
    const QString text = ini.value(fullKey).toString().trimmed();
    const QUrl url(text, QUrl::StrictMode);
    if (!isBaseUrl(url)) {
        qWarning() << "Ignoring invalid service address in deployment file:" << fullKey << text;
        return;
    }
    target = hostUrl(url);
}

} // namespace

Deployment::Deployment(const QString& iniFileName)
    : Deployment(QStringList{iniFileName})
{
}

Deployment::Deployment(const QStringList& iniFileNames)
    : m_api(QStringLiteral(WATCHDESK_API_HOST))
    , m_streaming(QStringLiteral(WATCHDESK_STREAMING_HOST))
    , m_web(QStringLiteral(WATCHDESK_WEB_HOST))
{
    for (const QString& name : iniFileNames)
        apply(name);
}

void Deployment::apply(const QString& iniFileName)
{
    const QFileInfo info(iniFileName);
    if (!info.exists())
        return;
    // Three addresses; QSettings would read a file of any size whole.
    constexpr qint64 maxFileSize = 64 * 1024;
    if (info.size() > maxFileSize) {
        qWarning() << "Ignoring deployment file larger than" << maxFileSize << "bytes:" << iniFileName << info.size();
        return;
    }
    QSettings ini(iniFileName, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        qWarning() << "Cannot read deployment file:" << iniFileName;
        return;
    }
    override(ini, "api", m_api);
    override(ini, "streaming", m_streaming);
    override(ini, "web", m_web);
}

const Deployment& Deployment::instance()
{
    // The system-wide file first, then the working folder's: each value the
    // user's file gives wins.
    static const Deployment deployment(
        QStringList{QStringLiteral(WATCHDESK_SYSTEM_CONFIG), QString::fromLatin1(Constants::deploymentFileName)});
    return deployment;
}

int Deployment::portOf(const QUrl& url)
{
    return url.port(url.scheme() == QLatin1String("http") ? 80 : 443);
}

} // namespace OrvantaClient::App
