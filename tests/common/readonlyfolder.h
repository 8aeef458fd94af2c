#pragma once

#include <QDir>
#include <QFile>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a folder read-only for the calling thread while it lives. Its write
// bits are taken away; root ignores them, so under root the thread's file
// checks are made as an unprivileged user (setfsuid), who is given the folder
// and its files for the while (the folders above it must let others pass).
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& path)
        : m_path(QFile::encodeName(QDir(path).absolutePath()))
        , m_asRoot(geteuid() == 0)
    {
        struct stat info;
        if (::stat(m_path.constData(), &info) == 0)
            m_mode = info.st_mode & 07777;
        ::chmod(m_path.constData(), 0555);
        if (m_asRoot) {
            chownAll(nobody);
            // The group too: root's group would be checked before the others.
            setfsgid(nobody);
            setfsuid(nobody);
        }
    }

    ~ReadOnlyFolder()
    {
        if (m_asRoot) {
            setfsuid(0);
            setfsgid(0);
        }
        ::chmod(m_path.constData(), m_mode);
        if (m_asRoot)
            chownAll(0);
    }

    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    static constexpr uid_t nobody = 65534;

    void chownAll(uid_t owner) const
    {
        ::chown(m_path.constData(), owner, owner);
        const QDir dir(QFile::decodeName(m_path));
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
            ::chown(QFile::encodeName(dir.filePath(name)).constData(), owner, owner);
    }

    QByteArray m_path;
    bool m_asRoot;
    mode_t m_mode = 0700;
};
