#pragma once

#include <QString>

namespace OrvantaClient::App {

// A file of the user's that could not be read is never written over: it is
// moved aside first, so that it can be mended or sent to support.
class UnreadableFile
{
public:
    // Renames fileName to fileName + ".unreadable-" + the local time (with
    // "-2", "-3"... when that name is taken, so that an earlier copy is never
    // replaced) and returns the new name, or a null string (logged) when it
    // could not be moved.
    static QString setAside(const QString& fileName);
};

} // namespace OrvantaClient::App
