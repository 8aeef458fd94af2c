#pragma once

#include <QString>

namespace OrvantaClient::App {

// Files that hold secrets (the remembered password) or personal data (e-mails in
// the log) are kept readable and writable by their owner only.
class PrivateFile
{
public:
    // Sets the mode of fileName to owner read/write. With create set, a missing
    // file is created empty first. Returns false when the file is missing or the
    // mode cannot be set.
    static bool restrict(const QString& fileName, bool create);
};

} // namespace OrvantaClient::App
