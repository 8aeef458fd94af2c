#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace OrvantaClient::App {

namespace Internal {
class SettingsPrivate;
}

// The process-wide settings over "OrvantaClient.ini" in the working folder.
// Created on first use and kept until exit. The file holds the remembered
// password, so it is kept readable by its owner only.
class Settings
{
public:
    static Settings& instance();

    QVariant value(const QString& key, const QVariant& defaultValue = QVariant()) const;
    void setValue(const QString& key, const QVariant& value);
    bool contains(const QString& key) const;
    void remove(const QString& key);
    void sync();
    QString fileName() const;

    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

private:
    Settings();
    std::shared_ptr<Internal::SettingsPrivate> d;
};

} // namespace OrvantaClient::App
