#pragma once

#include <QFile>
#include <QString>

namespace OrvantaClient::App {

// The local file of a store: opened at login, read whole, and replaced whole.
// A store is replaced atomically (a complete new file renamed over the old
// one), so a crash, a full disk or a power cut never leaves a half-written
// file: the old content stays until the new one is complete.
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

    // Opens fileName read-write, creating it when missing.
    bool open(const QString& fileName);
    void close() { m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }

    // The whole content, from the start whatever was read before.
    QByteArray readAll();

    // Replaces the content; logs the matching message and returns false on failure.
    bool store(const QByteArray& content, const Messages& messages);

private:
    QFile m_file;
    bool m_ownerOnly;
};

} // namespace OrvantaClient::App
