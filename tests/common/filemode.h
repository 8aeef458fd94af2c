#pragma once

#include <QFile>
#include <sys/stat.h>

// The permission bits of a file (e.g. 0600), or -1 when it cannot be read.
inline int fileMode(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 0777);
}
