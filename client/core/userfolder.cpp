#include "userfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace OrvantaClient::App {

bool UserFolder::isInstalledAt(const QString& programFolder, const QString& privateFolder)
{
    // Wherever the prefix: <prefix>/lib/watchdesk. A build keeps its programs in bin/.
    const QString program = QFileInfo(programFolder).canonicalFilePath();
    return !program.isEmpty() && program.endsWith(QLatin1Char('/') + privateFolder);
}

bool UserFolder::isInstalled()
{
    // Read before the application object exists: the kernel's link to the program.
    return isInstalledAt(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(),
                         QStringLiteral(WATCHDESK_PRIVATE_DIR));
}

QString UserFolder::path()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // XDG has a relative value ignored, as if unset.
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/watchdesk"));
}

bool UserFolder::enter(QString* error)
{
    if (!isInstalled())
        return true;
    const QString folder = path();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Cannot create the folder %1").arg(folder);
        return false;
    }
    // Settings may hold a remembered password, the local servers theirs.
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!QDir::setCurrent(folder)) {
        *error = QStringLiteral("Cannot work in the folder %1").arg(folder);
        return false;
    }
    return true;
}

} // namespace OrvantaClient::App
