#pragma once

// Reading, writing and breaking the files of tests that check nothing of the
// user's is lost.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

// How a store of a damaged file is made to fail, if at all.
enum class Failure { None, ReadOnlyFolder, FullDisk };
Q_DECLARE_METATYPE(Failure)

inline QByteArray readBytes(const QString& fileName)
{
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline void writeBytes(const QString& fileName, const QByteArray& content)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// The files that a store moved aside next to fileName.
inline QStringList keptAside(const QString& fileName)
{
    const QFileInfo info(fileName);
    QStringList paths;
    for (const QString& name : info.absoluteDir().entryList({info.fileName() + ".unreadable-*"}, QDir::Files))
        paths << info.absoluteDir().filePath(name);
    return paths;
}

// Runs store() with the file size limited to a few bytes, as on a full disk.
template<typename Store>
inline void storeOnFullDisk(Store store)
{
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tiny = old;
    tiny.rlim_cur = 64;
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    store();
    setrlimit(RLIMIT_FSIZE, &old);
}

// Earlier copies kept aside, one for this second and one for the next: a new
// copy must not take their place.
inline QStringList plantEarlierCopies(const QString& fileName)
{
    QStringList planted;
    const QDateTime now = QDateTime::currentDateTime();
    for (const QDateTime& time : {now, now.addSecs(1)}) {
        planted << fileName + ".unreadable-" + time.toString("yyyyMMdd-hhmmss");
        writeBytes(planted.last(), "earlier copy");
    }
    return planted;
}

// After any case, the original bytes are on disk, in place or kept aside, and
// the earlier copies are untouched.
inline void verifyNothingLost(const QString& fileName, const QByteArray& content, const QStringList& earlier)
{
    for (const QString& copy : earlier)
        QCOMPARE(readBytes(copy), QByteArray("earlier copy"));
    if (content.isEmpty() || (QFile::exists(fileName) && readBytes(fileName) == content))
        return; // an empty file holds nothing to lose
    QStringList kept = keptAside(fileName);
    for (const QString& copy : earlier)
        kept.removeAll(QFileInfo(copy).absoluteFilePath());
    QCOMPARE(kept.size(), 1);
    QVERIFY(readBytes(kept.first()) == content);
}
