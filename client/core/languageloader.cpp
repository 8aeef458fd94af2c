#include "languageloader.h"

#include "settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLocale>
#include <QTranslator>

namespace OrvantaClient::App {

namespace {

struct LanguageState
{
    QString loaded;
    QTranslator* appTranslator = nullptr;
    QTranslator* qtTranslator = nullptr;
};

LanguageState& state()
{
    static LanguageState languageState;
    return languageState;
}

QTranslator* translator(QTranslator*& slot)
{
    // Kept for the life of the process, like the application object itself.
    if (!slot)
        slot = new QTranslator(QCoreApplication::instance());
    return slot;
}

} // namespace

QString LanguageLoader::load(const QString& language)
{
    LanguageState& s = state();
    const QString code = language.left(2);
    if (code == s.loaded)
        return s.loaded;

    qDebug() << "Loading language:" << code;
    QTranslator* app = translator(s.appTranslator);
    QTranslator* qt = translator(s.qtTranslator);
    QCoreApplication::removeTranslator(app);
    QCoreApplication::removeTranslator(qt);
    if (code != QLatin1String("en")) {
        // A language without compiled-in texts leaves the English source texts.
        if (app->load(QStringLiteral(":/translations/OrvantaClient_%1").arg(code)))
            QCoreApplication::installTranslator(app);
        if (qt->load(QStringLiteral(":/translations/qtbase_%1").arg(code)))
            QCoreApplication::installTranslator(qt);
    }
    s.loaded = code;
    return s.loaded;
}

QString LanguageLoader::loaded()
{
    return state().loaded;
}

QString LanguageLoader::systemDefault()
{
    return QLocale::system().language() == QLocale::Russian ? QStringLiteral("ru") : QStringLiteral("en");
}

QStringList LanguageLoader::languages()
{
    return {QStringLiteral("en"), QStringLiteral("ru")};
}

QString LanguageLoader::chosen()
{
    const QString key = QStringLiteral("common/language");
    const Settings& settings = Settings::instance();
    if (!settings.contains(key))
        return systemDefault();
    // Stored as chosen, perhaps with a country ("ru_RU"); only the language counts.
    const QString stored = settings.value(key).toString();
    if (languages().contains(stored.left(2)))
        return stored;
    qWarning() << "Ignoring unknown language in the settings:" << stored.left(64);
    return systemDefault();
}

} // namespace OrvantaClient::App
