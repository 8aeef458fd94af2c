#include "storefile.h"

#include "core/privatefile.h"

#include <QDebug>
#include <QSaveFile>

namespace OrvantaClient::App {

bool StoreFile::open(const QString& fileName)
{
    m_file.close();
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::ReadWrite))
        return false;
    if (m_ownerOnly)
        PrivateFile::restrict(fileName, false);
    return true;
}

QByteArray StoreFile::readAll()
{
    m_file.seek(0);
    return m_file.readAll();
}

bool StoreFile::store(const QByteArray& content, const Messages& messages)
{
    const QString fileName = m_file.fileName();
    auto failed = [&](const char* message) {
        if (message == messages.cannotWrite && messages.writeWithFileName)
            qDebug() << message << fileName;
        else
            qDebug() << message;
        return false;
    };

    QSaveFile file(fileName);
    // Unbuffered: a buffered short write (a full disk) surfaces only in a flush
    // whose failure commit() does not check, and a truncated file would replace
    // the good one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(messages.cannotStart);
    if (m_ownerOnly)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(content) != content.size()) {
        file.cancelWriting(); // the old file stays as it was
        return failed(messages.cannotWrite);
    }
    if (!file.commit())
        return failed(messages.cannotFinish);
    // Follow the new file, so that a later read at this login sees what was stored.
    m_file.close();
    m_file.open(QIODevice::ReadWrite);
    return true;
}

} // namespace OrvantaClient::App
