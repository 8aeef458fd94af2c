#include "framefile.h"

#include "core/constants.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OrvantaClient::GUI::Player {

namespace {

std::atomic<qint64> nameCounter{0};

QString nameFor(qint64 number)
{
    return QLatin1String(App::Constants::internalName) + QLatin1String("-player-") + QString::number(number);
}

// Names tried before giving up when others are taken by files of other users.
constexpr int maximumNameAttempts = 64;

enum class CreateResult { Ok, NameTaken, Failed, ResizeFailed };

} // namespace

namespace Internal {

class FrameFilePrivate
{
public:
    CreateResult create(const QString& path);

    QString name;
    QFile file;
    uchar* data = nullptr;
};

// The temporary folder is shared by all users of the machine. The file is opened
// without following links and must be a regular file of our own with one name;
// anything else (another user's file, a planted link) leaves the name to its owner.
CreateResult FrameFilePrivate::create(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == ELOOP || errno == EACCES || errno == EPERM || errno == EISDIR ? CreateResult::NameTaken
                                                                                        : CreateResult::Failed;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_nlink != 1) {
        ::close(fd);
        return CreateResult::NameTaken;
    }
    // A file left by an earlier run of ours may carry a wider mode.
    if (::fchmod(fd, 0600) != 0) {
        ::close(fd);
        return CreateResult::Failed;
    }
    // Sized before QFile takes the descriptor, so that QFile sees the final size.
    if (::ftruncate(fd, FrameFile::capacity) != 0) {
        ::close(fd);
        return CreateResult::ResizeFailed;
    }
    if (!file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return CreateResult::Failed;
    }
    return CreateResult::Ok;
}

} // namespace Internal

FrameFile::FrameFile()
    : d(QSharedPointer<Internal::FrameFilePrivate>::create())
{
    d->name = nameFor(nameCounter++);
}

FrameFile::~FrameFile()
{
    if (d->data)
        d->file.unmap(d->data);
}

QString FrameFile::name() const
{
    return d->name;
}

QString FrameFile::path() const
{
    return pathFor(d->name);
}

QString FrameFile::pathFor(const QString& name)
{
    return QDir::tempPath() + QDir::separator() + name;
}

bool FrameFile::open()
{
    if (d->data)
        return true;
    if (!d->file.isOpen()) {
        CreateResult result = d->create(path());
        for (int attempt = 1; result == CreateResult::NameTaken && attempt < maximumNameAttempts; ++attempt) {
            d->name = nameFor(nameCounter++);
            result = d->create(path());
        }
        if (result == CreateResult::ResizeFailed) {
            qWarning() << "VideoWidget: Could not resize SHM file to " << capacity << " bytes";
            return false;
        }
        if (result != CreateResult::Ok) {
            qWarning() << "VideoWidget: Could not open SHM file " << path();
            return false;
        }
    }
    d->data = d->file.map(0, capacity);
    if (!d->data) {
        qWarning() << "VideoWidget: Could not map SHM file to memory";
        return false;
    }
    return true;
}

bool FrameFile::isOpen() const
{
    return d->data != nullptr;
}

uchar* FrameFile::data() const
{
    return d->data;
}

} // namespace OrvantaClient::GUI::Player
