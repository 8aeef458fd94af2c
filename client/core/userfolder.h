#pragma once

#include <QString>

namespace OrvantaClient::App {

// Where an installed watchdesk keeps its working-folder files (settings, log,
// local servers, deployment values): a folder of the user's own, never the
// install folder or the folder a terminal happens to be in. A program started
// from a build folder keeps them in its current folder, as it always has.
class UserFolder
{
public:
    // Whether the program runs from the folder it was installed to.
    static bool isInstalled();
    // $XDG_DATA_HOME/watchdesk, or ~/.local/share/watchdesk.
    static QString path();
    // For an installed program: makes the folder (owner-only) and makes it the
    // current folder. False, with the reason, when that cannot be done; a
    // program started from a build folder is left where it is (true).
    static bool enter(QString* error);

    // Whether a program in programFolder is installed: the folder is the private
    // one ("lib/watchdesk") under some prefix.
    static bool isInstalledAt(const QString& programFolder, const QString& privateFolder);
};

} // namespace OrvantaClient::App
