#include "unreadablefile.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>

namespace OrvantaClient::App {

QString UnreadableFile::setAside(const QString& fileName)
{
    const QString base =
        fileName + QStringLiteral(".unreadable-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base;
    for (int n = 2; QFile::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    // rename() does not replace an existing target, so a copy that appeared
    // meanwhile is safe too.
    QFile file(fileName);
    if (!file.rename(target)) {
        qWarning() << "Could not move unreadable file aside:" << fileName << file.errorString();
        return QString();
    }
    qDebug() << "Unreadable file kept as" << target;
    return target;
}

} // namespace OrvantaClient::App
