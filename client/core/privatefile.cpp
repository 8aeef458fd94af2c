#include "privatefile.h"

#include <QFile>

namespace OrvantaClient::App {

bool PrivateFile::restrict(const QString& fileName, bool create)
{
    QFile file(fileName);
    if (!file.exists()) {
        if (!create || !file.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        file.close();
    }
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace OrvantaClient::App
