// framepump ADDRESS PORT PATH FRAMEFILE — pulls a local server's stream into a frame file
// A PATH of "-" is read from WATCHDESK_STREAM: the path carries the server's
// password, which must not show on the command line.
#include "framepump.h"
#include "workerenvironment.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: framepump ADDRESS PORT PATH FRAMEFILE\n");
        return 1;
    }
    bool ok = false;
    const int port = QString::fromLocal8Bit(argv[2]).toInt(&ok);
    if (!ok || port <= 0 || port > 65535) {
        std::fprintf(stderr, "framepump: invalid port: %s\n", argv[2]);
        return 1;
    }
    namespace Environment = VLC::WorkerEnvironment;
    QByteArray path;
    if (!Environment::readStream(argv[3], &path)) {
        std::fprintf(stderr, "framepump: the path \"-\" is read from %s, which is not set\n",
                     Environment::streamVariable);
        return 1;
    }
    VLC::Framepump pump(QString::fromLocal8Bit(argv[1]), port, QString::fromLocal8Bit(path),
                        QString::fromLocal8Bit(argv[4]));
    return app.exec();
}
