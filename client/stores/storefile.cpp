#include "storefile.h"

#include "core/privatefile.h"
#include "core/unreadablefile.h"

#include <QDebug>
#include <QFileInfo>
#include <QSaveFile>

namespace OrvantaClient::App {

bool StoreFile::open(const QString& fileName)
{
    close();
    m_fileName = fileName;
    m_file.setFileName(fileName);
    m_unreadable = false;
    m_open = true;
    // Reading must not leave an empty file behind: a missing one is created by
    // the first store. Stores go through a new file, so reading is all this
    // handle is for: a file without write permission is still read.
    if (m_file.exists()) {
        // A pipe would block the open, a device be read without end (and
        // must not have its mode changed).
        if (!QFileInfo(fileName).isFile() || !m_file.open(QIODevice::ReadOnly)) {
            qWarning() << "Cannot open store file:" << fileName << m_file.errorString();
            m_unreadable = true;
            return false;
        }
        if (m_ownerOnly)
            PrivateFile::restrict(fileName, false);
    }
    return true;
}

void StoreFile::close()
{
    m_file.close();
    m_open = false;
}

bool StoreFile::read(QByteArray* content)
{
    content->clear();
    if (!m_file.isOpen()) {
        if (!m_unreadable)
            return true; // missing: nothing stored yet
        qWarning() << "Store file cannot be read:" << m_fileName;
        return false;
    }
    const qint64 size = m_file.size();
    if (size > m_maxSize) {
        qWarning() << "Store file is too large to be read:" << m_fileName << size << "bytes, the limit is"
                   << m_maxSize;
        m_unreadable = true;
        return false;
    }
    // Bounded even when the file grows after the size was taken.
    m_file.seek(0);
    *content = m_file.read(m_maxSize + 1);
    if (content->size() > m_maxSize || m_file.error() != QFileDevice::NoError) {
        qWarning() << "Store file cannot be read:" << m_fileName << m_file.errorString();
        content->clear();
        m_unreadable = true;
        return false;
    }
    return true;
}

QString StoreFile::setAside()
{
    m_file.close();
    const QString target = UnreadableFile::setAside(m_fileName);
    if (target.isNull()) {
        m_file.open(QIODevice::ReadOnly);
        return QString();
    }
    m_unreadable = false;
    return target;
}

bool StoreFile::store(const QByteArray& content, const Messages& messages, QString* keptAside)
{
    auto failed = [&](const char* message) {
        if (message == messages.cannotWrite && messages.writeWithFileName)
            qDebug() << message << m_fileName;
        else
            qDebug() << message;
        return false;
    };

    if (keptAside)
        keptAside->clear();
    if (m_unreadable && QFile::exists(m_fileName)) {
        const QString target = setAside();
        if (target.isNull())
            return failed(messages.cannotStart);
        if (keptAside)
            *keptAside = target;
    }
    m_unreadable = false;

    QSaveFile file(m_fileName);
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
    m_file.open(QIODevice::ReadOnly);
    return true;
}

} // namespace OrvantaClient::App
