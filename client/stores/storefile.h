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

    explicit StoreFile(bool ownerOnly = false) : m_ownerOnly(ownerOnly) {}

    // Opens fileName read-write when it exists; a missing one stays missing.
    bool open(const QString& fileName);
    void close();
    bool isOpen() const { return m_open; }
    QString fileName() const { return m_fileName; }

    // The whole content, from the start whatever was read before; empty when
    // the file is missing.
    QByteArray readAll();

    // Moves the file aside under a name of its own (the file name with a
    // suffix) and returns that name, or a null string when it could not.
    // The store then goes on as with a missing file.
    QString setAside();

    // Replaces the content; logs the matching message and returns false on failure.
    bool store(const QByteArray& content, const Messages& messages);

private:
    QFile m_file;
    QString m_fileName;
    bool m_ownerOnly;
    bool m_open = false;
};

} // namespace OrvantaClient::App
