#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace OrvantaClient::App {

namespace Internal {
class SettingsPrivate;
}

// The process-wide settings over "OrvantaClient.ini" in the working folder.
// Created on first use and kept until exit. The file holds the remembered
// password, so it is kept readable by its owner only.
//
// A file that cannot be read whole (garbled, unreadable, or larger than a
// settings file ever grows) is never written over: it is moved aside, and the
// settings start from what could be read of it. When it cannot be moved, the
// settings of this session are kept elsewhere and the file stays as it is.
class Settings
{
    Q_DECLARE_TR_FUNCTIONS(OrvantaClient::App::Settings)

public:
    static Settings& instance();

    // The settings over fileName; instance() is the one over the working
    // folder's file.
    explicit Settings(const QString& fileName);

    QVariant value(const QString& key, const QVariant& defaultValue = QVariant()) const;
    // The file may have been edited by hand, or garbled: a value that is not
    // an integer within [minimum, maximum], or not one of choices, is logged
    // and read as defaultValue.
    int intValue(const QString& key, int defaultValue, int minimum, int maximum) const;
    QString choiceValue(const QString& key, const QString& defaultValue, const QStringList& choices) const;

    void setValue(const QString& key, const QVariant& value);
    bool contains(const QString& key) const;
    void remove(const QString& key);
    // Writes pending changes; false (logged, and the user told once) when the
    // file could not be written. The old file then stays as it was.
    bool sync();
    QString fileName() const;

    // What the user must be told of reading the file, translated when asked
    // (after the language is loaded); empty when it was read whole.
    QString readNotice() const;

    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

private:
    std::shared_ptr<Internal::SettingsPrivate> d;
};

} // namespace OrvantaClient::App
