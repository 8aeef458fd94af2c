#pragma once

#include <QApplication>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

namespace Bench {

// What a benchmark of the whole client sets up around it: the offscreen
// platform unless another is asked for, a private runtime folder, the
// application, and a working folder of its own where the client keeps its
// files and logs as it does in use (to its file, not to the terminal).
// BENCH_LOG=FILE keeps the log elsewhere; BENCH_FRAMEPUMP=1 plays the
// cameras with framepump.
class ClientBench
{
public:
    ClientBench(int& argc, char** argv);
    ~ClientBench();

    QString workDir() const { return m_work.path(); }
    bool framepump() const;
    // BENCH_WINDOW=WxH, or 1600x900.
    static QSize windowSize();

private:
    QTemporaryDir m_runtime; // owner-only, as Qt wants it
    bool m_environment;
    QApplication m_app;
    QTemporaryDir m_work;
};

} // namespace Bench
