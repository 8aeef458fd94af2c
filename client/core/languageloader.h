#pragma once

#include <QString>
#include <QStringList>

namespace OrvantaClient::App {

// Loads the user-interface language: our own texts and the toolkit's texts,
// both compiled in. English is the source language and needs no translator.
class LanguageLoader
{
public:
    // Loads the first two letters of language unless they are already loaded.
    // Returns the two letters now loaded.
    static QString load(const QString& language);

    // The two letters loaded last, or empty before the first load.
    static QString loaded();

    // The language of the system locale: "ru" for Russian, else "en".
    static QString systemDefault();

    // The languages the user can choose, as stored in the settings.
    static QStringList languages();

    // The language chosen in the settings ("common/language"), or the
    // system's when none is stored there or one whose first two letters are
    // not among languages().
    static QString chosen();
};

} // namespace OrvantaClient::App
