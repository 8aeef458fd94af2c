#include "storagepaths.h"

#include "constants.h"
#include "settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

namespace OrvantaClient::App {

QString StoragePaths::cacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString StoragePaths::configDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString StoragePaths::localRosterFileName()
{
    return QString::fromLatin1(Constants::localRosterFileName);
}

QString StoragePaths::exportPath()
{
    Settings& settings = Settings::instance();
    if (!settings.contains(QStringLiteral("common/exportPath")))
        settings.setValue(QStringLiteral("common/exportPath"),
                          QString(QDir::homePath() + QLatin1Char('/') + QLatin1String(Constants::applicationName)));
    return settings.value(QStringLiteral("common/exportPath")).toString();
}

QString StoragePaths::localLayoutsFilePath()
{
    return layoutsFilePath(cacheDir(), Settings::instance().value(QStringLiteral("auth/email")).toString());
}

QString StoragePaths::localToursFilePath()
{
    QString path = localLayoutsFilePath();
    const int dot = path.lastIndexOf(QStringLiteral("/layouts."));
    return path.replace(dot + 1, 7, QStringLiteral("tours"));
}

QString StoragePaths::layoutsFilePath(const QString& cacheDir, const QString& email)
{
    const QByteArray hash = QCryptographicHash::hash(email.toLower().toUtf8(), QCryptographicHash::Md5).toHex();
    return cacheDir + QStringLiteral("/layouts.") + QString::fromLatin1(hash);
}

} // namespace OrvantaClient::App
