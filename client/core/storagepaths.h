#pragma once

#include <QString>

namespace OrvantaClient::App {

// Where the client keeps its files: the working folder for the settings and the
// local roster, the platform's per-user cache folder for previews and layouts.
class StoragePaths
{
public:
    static QString cacheDir();
    static QString configDir();
    static QString localRosterFileName();
    // The export folder ("common/exportPath"); its default, the home folder +
    // "/" + the application name, is stored the first time it is read.
    static QString exportPath();
    // The layouts file of the account in "auth/email".
    static QString localLayoutsFilePath();
    // cacheDir + "/layouts." + the MD5 of the lower-cased e-mail, in hex.
    static QString layoutsFilePath(const QString& cacheDir, const QString& email);
    // The tours file beside it: cacheDir + "/tours." + the same hash.
    static QString localToursFilePath();
};

} // namespace OrvantaClient::App
