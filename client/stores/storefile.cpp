#include "storefile.h"

#include "core/privatefile.h"

#include <QDateTime>
#include <QDebug>
#include <QSaveFile>

namespace OrvantaClient::App {

bool StoreFile::open(const QString& fileName)
{
    close();
    m_fileName = fileName;
    m_file.setFileName(fileName);
    // Reading must not leave an empty file behind: a missing one is created by
    // the first store.
    if (m_file.exists()) {
        if (!m_file.open(QIODevice::ReadWrite))
            return false;
        if (m_ownerOnly)
            PrivateFile::restrict(fileName, false);
    }
    m_open = true;
    return true;
}

void StoreFile::close()
{
    m_file.close();
    m_open = false;
}

QByteArray StoreFile::readAll()
{
    if (!m_file.isOpen())
        return QByteArray();
    m_file.seek(0);
    return m_file.readAll();
}

QString StoreFile::setAside()
{
    m_file.close();
    const QString base =
        m_fileName + QStringLiteral(".unreadable-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base;
    for (int n = 2; QFile::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_fileName, target)) {
        qDebug() << "Could not move unreadable file aside:" << m_fileName;
        m_file.open(QIODevice::ReadWrite);
        return QString();
    }
    qDebug() << "Unreadable file kept as" << target;
    return target;
}

bool StoreFile::store(const QByteArray& content, const Messages& messages)
{
    auto failed = [&](const char* message) {
        if (message == messages.cannotWrite && messages.writeWithFileName)
            qDebug() << message << m_fileName;
        else
            qDebug() << message;
        return false;
    };

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
    m_file.open(QIODevice::ReadWrite);
    return true;
}

} // namespace OrvantaClient::App
