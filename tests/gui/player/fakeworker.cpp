// A stand-in stream worker for widget tests: it does what a script file tells
// it (FAKE_WORKER_SCRIPT) with the frame file named on its command line, and
// appends every command it receives to FAKE_WORKER_LOG. FAKE_WORKER_ARGUMENTS,
// when set, names a file that receives its arguments and the secrets of its
// environment, one a line.
//   fill R G B A W H   write W x H pixels of that colour (bytes B G R A)
//   ramp W H           write W x H pixels whose red is 4 x and green 4 y: a
//                      pixel on screen tells where in the picture it came from
//   print TEXT         write TEXT and a newline to standard output
//   sleep MS
//   exit CODE
//   signal NUMBER      end by that signal
//   wait               read commands until standard input closes
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char* argv[])
{
    if (argc < 3)
        return 1;
    const QString frameFile = QDir::tempPath() + QDir::separator() + QString::fromLocal8Bit(argv[2]);
    if (qEnvironmentVariableIsSet("FAKE_WORKER_ARGUMENTS")) {
        QFile arguments(QString::fromLocal8Bit(qgetenv("FAKE_WORKER_ARGUMENTS")));
        arguments.open(QIODevice::WriteOnly);
        for (int i = 1; i < argc; ++i)
            arguments.write(QByteArray(argv[i]) + '\n');
        for (const char* name : {"WATCHDESK_STREAM", "WATCHDESK_PROXY_PASSWORD"})
            arguments.write(name + QByteArray("=") + qgetenv(name) + '\n');
    }
    QFile log(QString::fromLocal8Bit(qgetenv("FAKE_WORKER_LOG")));
    log.open(QIODevice::Append);
    log.write("started\n");
    log.flush();
    QFile script(QString::fromLocal8Bit(qgetenv("FAKE_WORKER_SCRIPT")));
    if (!script.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray& raw : script.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        const QList<QByteArray> words = line.split(' ');
        if (words.first() == "fill" && words.size() == 7) {
            QFile file(frameFile);
            if (!file.open(QIODevice::ReadWrite))
                return 2;
            uchar* data = file.map(0, file.size());
            const int pixels = words.at(5).toInt() * words.at(6).toInt();
            const uchar bgra[4] = {uchar(words.at(3).toInt()), uchar(words.at(2).toInt()), uchar(words.at(1).toInt()),
                                   uchar(words.at(4).toInt())};
            for (int i = 0; i < pixels; ++i)
                std::memcpy(data + 4 * i, bgra, 4);
        } else if (words.first() == "ramp" && words.size() == 3) {
            QFile file(frameFile);
            if (!file.open(QIODevice::ReadWrite))
                return 2;
            uchar* data = file.map(0, file.size());
            const int width = words.at(1).toInt();
            const int height = words.at(2).toInt();
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const uchar bgra[4] = {0, uchar(4 * y), uchar(4 * x), 255};
                    std::memcpy(data + 4 * (y * width + x), bgra, 4);
                }
            }
        } else if (words.first() == "print") {
            std::printf("%s\n", line.mid(6).constData());
            std::fflush(stdout);
        } else if (words.first() == "sleep") {
            QThread::msleep(words.value(1).toULong());
        } else if (words.first() == "exit") {
            return words.value(1).toInt();
        } else if (words.first() == "signal") {
            std::raise(words.value(1).toInt());
        } else if (words.first() == "wait") {
            std::string command;
            while (std::getline(std::cin, command)) {
                log.write(command.c_str());
                log.write("\n");
                log.flush();
            }
        }
    }
    return 0;
}
