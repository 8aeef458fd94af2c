// Start-up cost of a libvlc instance with clipworker's arguments, with libvlc's
// plug-in cache (written by Debian's libvlc-bin whenever plug-ins change) and with
// "--no-plugins-cache", which makes libvlc load every plug-in at each start. Each
// instance is made in a fresh process, as a worker makes it: wall and CPU time of
// libvlc_new, the shared objects it leaves mapped and the process's own memory.
//   bench_vlcstartup [ROUNDS]
#include "vlcbase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// One instance in this process; prints "wall cpu libraries privateKb".
int child(bool noCache)
{
    QStringList arguments = VLC::VlcBase::instanceArguments();
    if (noCache)
        arguments << QStringLiteral("--no-plugins-cache");
    QList<QByteArray> bytes;
    for (const QString& argument : arguments)
        bytes.append(argument.toUtf8());
    std::vector<const char*> argv;
    for (const QByteArray& argument : bytes)
        argv.push_back(argument.constData());
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = cpuMs();
    libvlc_instance_t* instance = libvlc_new(int(argv.size()), argv.data());
    const double cpu = cpuMs() - cpuBefore;
    const double wall = clock.nsecsElapsed() / 1e6;
    if (!instance)
        return 1;
    QSet<QByteArray> libraries;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (maps.open(QIODevice::ReadOnly))
        for (const QByteArray& line : maps.readAll().split('\n'))
            if (line.contains(".so"))
                libraries.insert(line.mid(line.lastIndexOf(' ') + 1));
    qint64 privateKb = 0;
    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
    if (rollup.open(QIODevice::ReadOnly))
        for (const QByteArray& line : rollup.readAll().split('\n'))
            if (line.startsWith("Private_"))
                privateKb += line.simplified().split(' ').value(1).toLongLong();
    std::printf("%.1f %.1f %d %lld\n", wall, cpu, int(libraries.size()), privateKb);
    libvlc_release(instance);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "child")
        return child(argc > 2);
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 10;
    std::printf("libvlc_new in a fresh process, average of %d:\n", rounds);
    double reference = 0;
    for (const bool noCache : {true, false}) {
        double wall = 0, cpu = 0, libraries = 0, privateKb = 0;
        for (int i = 0; i < rounds; ++i) {
            QProcess process;
            QStringList arguments{QStringLiteral("child")};
            if (noCache)
                arguments << QStringLiteral("--no-plugins-cache");
            process.start(QCoreApplication::applicationFilePath(), arguments);
            process.waitForFinished(60000);
            const QList<QByteArray> figures = process.readAllStandardOutput().simplified().split(' ');
            if (figures.size() != 4) {
                std::fprintf(stderr, "libvlc_new failed\n");
                return 1;
            }
            wall += figures[0].toDouble();
            cpu += figures[1].toDouble();
            libraries += figures[2].toDouble();
            privateKb += figures[3].toDouble();
        }
        if (noCache)
            reference = cpu;
        std::printf("  %-38s wall %6.1f ms, CPU %6.1f ms (%.2fx), %4.0f libraries mapped, own memory %5.1f MB\n",
                    noCache ? "with --no-plugins-cache:" : "clipworker's (libvlc's plug-in cache):",
                    wall / rounds, cpu / rounds, reference > 0 ? cpu / reference : 0.0, libraries / rounds,
                    privateKb / rounds / 1024);
    }
    return 0;
}
