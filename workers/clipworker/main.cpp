// clipworker URL FRAMEFILE [OPTION [OPTION]]  — plays one stream into a frame file
// clipworker export URL MUX DURATION_MS DESTINATION — copies a stream into a file
// A URL of "-" is read from WATCHDESK_STREAM, and WATCHDESK_PROXY_PASSWORD adds the
// proxy password option, so that neither secret shows on the command line.
#include "clipworker.h"
#include "crashguard.h"
#include "statusoutput.h"
#include "vlcexport.h"
#include "workerenvironment.h"

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    const bool exportMode = argc > 1 && std::strcmp(argv[1], "export") == 0;
    if (argc < 2 || (exportMode && argc < 6) || (!exportMode && argc < 3)) {
        std::fprintf(stderr, "usage: clipworker URL FRAMEFILE [OPTION [OPTION]]\n"
                             "       clipworker export URL MUX DURATION_MS DESTINATION\n");
        return 1;
    }
    namespace Environment = VLC::WorkerEnvironment;
    const QByteArray proxyPassword = Environment::take(Environment::proxyPasswordVariable);
    QByteArray url;
    if (!Environment::readStream(argv[exportMode ? 2 : 1], &url)) {
        std::fprintf(stderr, "clipworker: the URL \"-\" is read from %s, which is not set\n",
                     Environment::streamVariable);
        return 1;
    }
    VLC::CrashGuard::install();
    if (exportMode) {
        VLC::VlcExport exporter(QString::fromUtf8(url), QString::fromLocal8Bit(argv[5]),
                                QString::fromLatin1(argv[4]).toInt(), QString::fromUtf8(argv[3]));
        if (!exporter.isValid()) {
            VLC::StatusOutput::writeError("libvlc could not make a player");
            VLC::StatusOutput::writeLine(QByteArrayLiteral("export-error"));
            return 1;
        }
        return 0;
    }
    QStringList options{argc >= 4 ? QString::fromUtf8(argv[3]) : QString(),
                        argc == 5 ? QString::fromUtf8(argv[4]) : QString()};
    if (!proxyPassword.isEmpty())
        options << QStringLiteral(":http-proxy-pwd=") + QString::fromUtf8(proxyPassword);
    VLC::Clipworker worker(QString::fromUtf8(url), QString::fromUtf8(argv[2]), options);
    if (!worker.isValid()) {
        VLC::StatusOutput::writeError("libvlc could not make a player");
        VLC::StatusOutput::writeLine("state", 7);
        return 1;
    }
    worker.readCommands();
}
