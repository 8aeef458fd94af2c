#include "procinfo.h"

#include <QDir>
#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

namespace Bench {

const long ticksPerSecond = sysconf(_SC_CLK_TCK);

bool readStat(int pid, ProcStat& stat)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.readAll();
    // The name may hold spaces and parentheses: it ends at the last ')'.
    const int open = line.indexOf('('), close = line.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 13)
        return false;
    stat.pid = pid;
    stat.name = line.mid(open + 1, close - open - 1);
    stat.state = fields.at(0).isEmpty() ? '?' : fields.at(0).at(0);
    stat.ppid = fields.at(1).toInt();
    stat.ticks = fields.at(11).toLongLong() + fields.at(12).toLongLong();
    return true;
}

std::vector<ProcStat> childrenOf(int parent, const QList<QByteArray>& names)
{
    std::vector<ProcStat> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const int pid = entry.toInt(&number);
        ProcStat stat;
        if (number && readStat(pid, stat) && stat.ppid == parent && (names.isEmpty() || names.contains(stat.name)))
            found.push_back(stat);
    }
    return found;
}

qint64 statusField(int pid, const char* field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

qint64 peakKb(int pid)
{
    return std::max<qint64>(0, statusField(pid, "VmHWM"));
}

MemoryShare memoryShare(int pid)
{
    MemoryShare share;
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return share;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() < 2)
            continue;
        if (words.first() == "Pss:")
            share.pssKb = words.at(1).toLongLong();
        else if (words.first() == "Private_Clean:" || words.first() == "Private_Dirty:")
            share.privateKb += words.at(1).toLongLong();
    }
    return share;
}

int openFds(int pid)
{
    QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    if (!fds.exists())
        return -1;
    return int(fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

double selfCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double treeTicks(int pid)
{
    qint64 ticks = 0;
    ProcStat stat;
    if (readStat(pid, stat))
        ticks += stat.ticks;
    for (const ProcStat& child : childrenOf(pid, {}))
        ticks += child.ticks;
    return double(ticks) / ticksPerSecond;
}

double machineBusySeconds()
{
    QFile file(QStringLiteral("/proc/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readLine().simplified().split(' ');
    qint64 busy = 0;
    for (int i = 1; i < fields.size() && i <= 8; ++i) {
        if (i != 4 && i != 5) // idle, iowait
            busy += fields.at(i).toLongLong();
    }
    return double(busy) / ticksPerSecond;
}

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().split(' ').first().toDouble();
}

void resetOwnPeak()
{
    // "5" resets the peak resident size of the process (Linux 4.0 and later).
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

} // namespace Bench
