#include "settings.h"

#include "constants.h"
#include "privatefile.h"

#include <QSettings>

namespace OrvantaClient::App {

namespace Internal {

class SettingsPrivate
{
public:
    SettingsPrivate()
    {
        // Create the file owner-only before QSettings first writes it; its
        // atomic rewrites keep the mode of the file they replace.
        PrivateFile::restrict(QString::fromLatin1(Constants::settingsFileName), true);
        settings = std::make_unique<QSettings>(QString::fromLatin1(Constants::settingsFileName),
                                               QSettings::IniFormat);
    }

    std::unique_ptr<QSettings> settings;
};

} // namespace Internal

Settings& Settings::instance()
{
    static Settings settings;
    return settings;
}

Settings::Settings()
    : d(std::make_shared<Internal::SettingsPrivate>())
{
}

QVariant Settings::value(const QString& key, const QVariant& defaultValue) const
{
    return d->settings->value(key, defaultValue);
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

void Settings::sync()
{
    d->settings->sync();
    PrivateFile::restrict(d->settings->fileName(), false);
}

QString Settings::fileName() const
{
    return d->settings->fileName();
}

} // namespace OrvantaClient::App
