#include "app/application.h"
#include "core/constants.h"
#include "core/userfolder.h"
#include "resources/resources.h"

#include <QLocale>
#include <cstdio>

using namespace OrvantaClient;

int main(int argc, char* argv[])
{
    // Before anything opens the settings or the log, which live in the working folder.
    QString error;
    if (!App::UserFolder::enter(&error)) {
        std::fprintf(stderr, "watchdesk: %s\n", qPrintable(error));
        return 1;
    }
    App::Application app(argc, argv);
    if (app.anotherInstanceFound())
        return App::Constants::exitAnotherInstance;

    registerResources();
    QLocale::setDefault(app.language() == QLatin1String("ru") ? QLocale(QLocale::Russian)
                                                              : QLocale(QLocale::English));
    app.setStyleSheet(QStringLiteral(
        "* { font: 12px \"PT Sans\"; }"
        "QMenu { background-color: white; border: none; margin: 4px; }"
        "QMenu::item:selected { background-color: rgb(62, 183, 253); }"
        "QToolTip { background-color: white; color: black; font-weight: normal; }"));
    app.startLogin();

    const int code = app.exec();
    if (code == App::Constants::exitRestart) {
        app.startAgain();
        return 0;
    }
    return code;
}
