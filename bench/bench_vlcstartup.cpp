// Start-up cost of a libvlc instance with clipworker's arguments, with and without
// "--no-plugins-cache" (which makes libvlc scan every plug-in at each start).
#include "vlcbase.h"

#include <QElapsedTimer>

#include <cstdio>
#include <vector>

namespace {

double averageMilliseconds(const QStringList& arguments, int rounds)
{
    QList<QByteArray> bytes;
    for (const QString& argument : arguments)
        bytes.append(argument.toUtf8());
    std::vector<const char*> argv;
    for (const QByteArray& argument : bytes)
        argv.push_back(argument.constData());
    qint64 total = 0;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        libvlc_instance_t* instance = libvlc_new(int(argv.size()), argv.data());
        total += clock.nsecsElapsed();
        if (!instance) {
            std::printf("libvlc_new failed\n");
            return -1;
        }
        libvlc_release(instance);
    }
    return double(total) / rounds / 1e6;
}

} // namespace

int main()
{
    const int rounds = 10;
    QStringList withCache = VLC::VlcBase::instanceArguments();
    withCache.removeAll(QStringLiteral("--no-plugins-cache"));
    std::printf("libvlc_new, average of %d:\n", rounds);
    std::printf("  clipworker's arguments (--no-plugins-cache): %8.1f ms\n",
                averageMilliseconds(VLC::VlcBase::instanceArguments(), rounds));
    std::printf("  the same without --no-plugins-cache:         %8.1f ms\n", averageMilliseconds(withCache, rounds));
    return 0;
}
