#include "streambase.h"

#include "statusoutput.h"

#include <QDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace VLC {

StreamBase::StreamBase(const QString& frameFileName)
    : lastPing(std::make_shared<std::atomic<std::time_t>>(std::time(nullptr)))
{
    mapFrameFile(framePath(frameFileName));
    startWatchdog();
}

StreamBase::~StreamBase()
{
    if (frame)
        file.unmap(frame);
    file.close();
}

QString StreamBase::framePath(const QString& frameFileName)
{
    return QDir::tempPath() + QDir::separator() + frameFileName;
}

void StreamBase::mapFrameFile(const QString& path)
{
    // The temporary folder is shared by every user: open only a regular file of our
    // own, and never through a link someone else may have planted.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        StatusOutput::writeError("Can't open frame file: " + QFile::encodeName(path));
        return;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        StatusOutput::writeError("Refusing frame file that is not our own regular file: " + QFile::encodeName(path));
        return;
    }
    if (!file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        StatusOutput::writeError("Can't open frame file: " + QFile::encodeName(path));
        return;
    }
    const qint64 size = file.size();
    frame = size > 0 ? file.map(0, size) : nullptr;
    if (!frame) {
        StatusOutput::writeError("Can't map frame file: " + QFile::encodeName(path));
        return;
    }
    frameSize = size;
}

bool StreamBase::frameFits(qint64 width, qint64 height) const
{
    // The sides come from the stream: width * height * 4 of two 31-bit sides already
    // overflows 64 bits. Bound each side, then compare the product by division.
    if (!frame || width <= 0 || height <= 0)
        return false;
    const qint64 pixels = frameSize / 4;
    return width <= pixels && height <= pixels / width;
}

void StreamBase::startWatchdog()
{
    std::thread([ping = lastPing] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(keepAliveCheckSeconds));
            if (std::time(nullptr) - ping->load() <= keepAliveLimitSeconds)
                continue;
            static const char message[] = "KeepAlive time exceeded. Quiting now.";
            StatusOutput::writeLine(QByteArray(message));
            StatusOutput::writeError(QByteArray(message));
            std::exit(0);
        }
    }).detach();
}

void StreamBase::setFit(int, int) {}

void StreamBase::dispatchCommand(const QString& line)
{
    if (line.startsWith(QLatin1String("volume"))) {
        const QStringList words = line.split(QLatin1Char(' '));
        if (words.size() >= 2)
            setVolume(words.at(1).toInt()); // a word that is not a number reads as 0
    } else if (line == QLatin1String("unpause")) {
        setPaused(false);
    } else if (line == QLatin1String("pause")) {
        setPaused(true);
    } else if (line.startsWith(QLatin1String("fit "))) {
        const QStringList words = line.split(QLatin1Char(' '));
        bool widthOk = false;
        bool heightOk = false;
        const qint64 width = words.size() == 3 ? words.at(1).toLongLong(&widthOk) : 0;
        const qint64 height = words.size() == 3 ? words.at(2).toLongLong(&heightOk) : 0;
        if (widthOk && heightOk && width >= 0 && height >= 0)
            setFit(int(qMin<qint64>(width, maximumFitSide)), int(qMin<qint64>(height, maximumFitSide)));
        else
            StatusOutput::writeError("Bad command: " + line.toUtf8());
    } else if (line == QLatin1String("ping")) {
        lastPing->store(std::time(nullptr));
    } else {
        StatusOutput::writeError("Unknown command: " + line.toUtf8());
    }
}

void StreamBase::readCommandLines(std::istream& in)
{
    std::string line;
    bool overlong = false;
    auto finish = [&] {
        if (!overlong)
            dispatchCommand(QString::fromUtf8(line.data(), int(line.size())));
        line.clear();
        overlong = false;
    };
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        if (c == '\n') {
            finish();
        } else if (overlong) {
            continue;
        } else if (line.size() < maximumCommandLength) {
            line.push_back(char(c));
        } else {
            StatusOutput::writeError("Drop command: line longer than " + QByteArray::number(qint64(maximumCommandLength))
                                     + " bytes");
            line.clear();
            overlong = true;
        }
    }
    // A last line without its newline still counts, as it did for getline.
    if (!line.empty())
        finish();
}

void StreamBase::readCommands()
{
    readCommandLines(std::cin);
    // Standard input is gone, so no ping can come any more: rather than spin on a
    // failing read, wait here for the watchdog to end the process.
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

} // namespace VLC
