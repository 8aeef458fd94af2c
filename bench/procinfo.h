#pragma once

// What Linux tells about processes through /proc, for the benchmarks' figures.
#include <QByteArray>
#include <QList>
#include <vector>

namespace Bench {

struct ProcStat
{
    int pid = 0;
    int ppid = 0;
    QByteArray name;
    char state = '?'; // R, S, D, Z (ended, not yet reaped by its parent)...
    qint64 ticks = 0; // utime + stime
};

extern const long ticksPerSecond;

bool readStat(int pid, ProcStat& stat);
// The children of a process whose command name is one of the given (any when empty).
std::vector<ProcStat> childrenOf(int parent, const QList<QByteArray>& names);
// A field of /proc/PID/status in its unit (kB for memory), -1 when unreadable.
qint64 statusField(int pid, const char* field);
// Peak resident memory of a process in kB (VmHWM), 0 when it is gone.
qint64 peakKb(int pid);
// A process's share of memory: its proportional set (shared pages divided among
// the processes that map them) and the pages only it maps, in kB; 0 when gone.
struct MemoryShare
{
    qint64 pssKb = 0;
    qint64 privateKb = 0;
};
MemoryShare memoryShare(int pid);
// Open file descriptors of a process, -1 when unreadable.
int openFds(int pid);
double selfCpuSeconds();
// CPU seconds of a process and its children, for camsim and its ffmpeg.
double treeTicks(int pid);
// Busy CPU seconds of the whole machine, all cores: shows what else ran meanwhile.
double machineBusySeconds();
// The load average over the last minute.
double loadAverage();
void resetOwnPeak();

} // namespace Bench
