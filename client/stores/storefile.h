#pragma once

#include <QFile>
#include <QString>

namespace OrvantaClient::App {

// The local file of a store: opened at login, read whole, and replaced whole.
// A store is replaced atomically (a complete new file renamed over the old
// one), so a crash, a full disk or a power cut never leaves a half-written
// file: the old content stays until the new one is complete.
//
// A missing file is not created by opening it: it reads as empty, and the
// first store creates it.
//
// A file the store could not read whole (too large, unreadable, or holding
// entries it had to drop) is never written over: once marked unreadable, the
// next store first moves it aside, and stores nothing when it cannot.
class StoreFile
{
public:
    // The log lines of the three ways storing can fail.
    struct Messages
    {
        const char* cannotStart;
        const char* cannotWrite;
        const char* cannotFinish;
        bool writeWithFileName; // the file name follows cannotWrite
    };

    // maxSize bounds what is read: a larger file is refused unread, since
    // parsing it would hold the start-up for long and take much memory.
    explicit StoreFile(qint64 maxSize, bool ownerOnly = false) : m_maxSize(maxSize), m_ownerOnly(ownerOnly) {}

    // Opens fileName for reading when it exists; a missing one stays missing.
    // An existing file that cannot be opened is marked unreadable; the store
    // is open all the same, so that what the user adds can still be stored.
    bool open(const QString& fileName);
    void close();
    bool isOpen() const { return m_open; }
    QString fileName() const { return m_fileName; }

    // The whole content into content, from the start whatever was read
    // before; empty when the file is missing. False, with the reason logged
    // and the file marked unreadable, when the file cannot be read or is
    // larger than the limit.
    bool read(QByteArray* content);

    void markUnreadable() { m_unreadable = true; }
    bool isUnreadable() const { return m_unreadable; }

    // Moves the file aside (UnreadableFile::setAside) and returns its new name,
    // or a null string when it could not. The store then goes on as with a
    // missing file.
    QString setAside();

    // Replaces the content; logs the matching message and returns false on
    // failure. An unreadable file is moved aside first: keptAside then holds
    // its new name, else it is left null.
    bool store(const QByteArray& content, const Messages& messages, QString* keptAside = nullptr);

private:
    QFile m_file;
    QString m_fileName;
    qint64 m_maxSize;
    bool m_ownerOnly;
    bool m_open = false;
    bool m_unreadable = false;
};

} // namespace OrvantaClient::App
