#pragma once

#include <QSharedPointer>
#include <QString>

namespace OrvantaClient::GUI::Player {

namespace Internal {
class FrameFilePrivate;
}

// The shared frame file into which a stream worker writes its pictures. Each
// instance takes the next name of the process-wide counter when it is built, keeps
// it for its life and creates, sizes and maps the file on the first open().
class FrameFile
{
public:
    static constexpr qint64 capacity = 12582912;

    FrameFile();
    ~FrameFile();

    FrameFile(const FrameFile&) = delete;
    FrameFile& operator=(const FrameFile&) = delete;

    // The name handed to the worker; it can only change during the first open(),
    // when the name is already taken by a file that is not ours.
    QString name() const;
    QString path() const;
    static QString pathFor(const QString& name);

    // Creates the file owner-only, resizes and maps it; does nothing when already
    // open. Logs the failure and returns false otherwise.
    bool open();
    bool isOpen() const;
    uchar* data() const;

private:
    QSharedPointer<Internal::FrameFilePrivate> d;
};

} // namespace OrvantaClient::GUI::Player
