#include "settings.h"

#include "constants.h"
#include "privatefile.h"
#include "unreadablefile.h"
#include "usernotices.h"

#include <QDebug>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace OrvantaClient::App {

namespace Internal {

// Window geometry, a few dozen options and a rotation per local camera take
// a few kilobytes; a file this large is not a settings file.
constexpr qint64 maxFileSize = 2 * 1024 * 1024;

class SettingsPrivate
{
public:
    explicit SettingsPrivate(const QString& fileName);

    std::unique_ptr<QSettings> settings;
    QString fileName; // the user's file, even when the settings are kept elsewhere
    QString keptAs; // where an unreadable file was moved
    bool unreadable = false;
    bool writeFailed = false;
    bool writeFailureTold = false;
    std::unique_ptr<QTemporaryDir> elsewhere;
};

SettingsPrivate::SettingsPrivate(const QString& name)
    : fileName(QFileInfo(name).absoluteFilePath())
{
    // Create the file owner-only before QSettings first writes it; its
    // atomic rewrites keep the mode of the file they replace. Not a device's
    // mode, though.
    const QFileInfo info(fileName);
    if (!info.exists() || info.isFile())
        PrivateFile::restrict(fileName, true);

    // QSettings reads what it can of a garbled file and writes only that back,
    // and reads a huge one whole: both are checked before it takes the file.
    QFile file(fileName);
    QVariantMap readable;
    if (file.exists()) {
        if (!info.isFile()) {
            // A device or a pipe would be read without end.
            qWarning() << "Settings file is not a regular file:" << fileName;
            unreadable = true;
        } else if (file.size() > maxFileSize) {
            qWarning() << "Settings file is too large to be read:" << fileName << file.size() << "bytes";
            unreadable = true;
        } else if (!file.open(QIODevice::ReadOnly)) {
            qWarning() << "Cannot read settings file:" << fileName << file.errorString();
            unreadable = true;
        } else {
            file.close();
            QSettings probe(fileName, QSettings::IniFormat);
            for (const QString& key : probe.allKeys()) // parses every section
                readable.insert(key, probe.value(key));
            if (probe.status() != QSettings::NoError) {
                qWarning() << "Settings file is garbled; read" << readable.size() << "values from" << fileName;
                unreadable = true;
            }
        }
    }
    QString usedName = fileName;
    if (unreadable) {
        keptAs = UnreadableFile::setAside(fileName);
        if (keptAs.isNull()) {
            // Nothing may be written over it: this session's settings are lost at exit.
            elsewhere = std::make_unique<QTemporaryDir>();
            usedName = elsewhere->filePath(QFileInfo(fileName).fileName());
            qWarning() << "Settings are kept in" << usedName << "for this session only";
        }
        PrivateFile::restrict(usedName, true);
    }
    settings = std::make_unique<QSettings>(usedName, QSettings::IniFormat);
    if (unreadable) {
        for (auto it = readable.cbegin(); it != readable.cend(); ++it)
            settings->setValue(it.key(), it.value());
    }
}

} // namespace Internal

Settings& Settings::instance()
{
    static Settings settings(QString::fromLatin1(Constants::settingsFileName));
    return settings;
}

Settings::Settings(const QString& fileName)
    : d(std::make_shared<Internal::SettingsPrivate>(fileName))
{
}

QVariant Settings::value(const QString& key, const QVariant& defaultValue) const
{
    return d->settings->value(key, defaultValue);
}

int Settings::intValue(const QString& key, int defaultValue, int minimum, int maximum) const
{
    if (!d->settings->contains(key))
        return defaultValue;
    const QVariant stored = d->settings->value(key);
    bool ok = false;
    // Written as a number, or as text by a field; read back from the file as text.
    const qlonglong number = stored.toString().trimmed().toLongLong(&ok);
    if (ok && number >= minimum && number <= maximum)
        return int(number);
    qWarning() << "Ignoring invalid setting" << key << stored.toString().left(64);
    return defaultValue;
}

QString Settings::choiceValue(const QString& key, const QString& defaultValue, const QStringList& choices) const
{
    if (!d->settings->contains(key))
        return defaultValue;
    const QString stored = d->settings->value(key).toString();
    if (choices.contains(stored))
        return stored;
    qWarning() << "Ignoring invalid setting" << key << stored.left(64);
    return defaultValue;
}

void Settings::setValue(const QString& key, const QVariant& value)
{
    d->settings->setValue(key, value);
}

bool Settings::contains(const QString& key) const
{
    return d->settings->contains(key);
}

void Settings::remove(const QString& key)
{
    d->settings->remove(key);
}

bool Settings::sync()
{
    if (d->writeFailed) {
        // A QSettings keeps its first error for good: a new one over the same
        // file (it shares the changes not yet written) tells how this write goes.
        d->settings = std::make_unique<QSettings>(d->settings->fileName(), QSettings::IniFormat);
    }
    d->settings->sync();
    PrivateFile::restrict(d->settings->fileName(), false);
    d->writeFailed = d->settings->status() == QSettings::AccessError;
    if (!d->writeFailed) {
        d->writeFailureTold = false;
        return true;
    }
    qWarning() << "Cannot write settings file:" << d->settings->fileName();
    // Once until a write succeeds again: every later change would repeat it.
    if (!d->writeFailureTold && !d->elsewhere)
        UserNotices::instance().post(tr("The settings could not be saved to %1.").arg(d->fileName));
    d->writeFailureTold = true;
    return false;
}

QString Settings::fileName() const
{
    return d->settings->fileName();
}

QString Settings::readNotice() const
{
    if (!d->unreadable)
        return QString();
    if (d->elsewhere)
        return tr("The settings could not be read from %1. Changes to them are not saved, so that the file stays "
                  "as it is.")
            .arg(d->fileName);
    return tr("The settings could not be read from %1. The file was kept as %2.").arg(d->fileName, d->keptAs);
}

} // namespace OrvantaClient::App
