#include "workerrun.h"

#include <QtTest>

WorkerRun::WorkerRun(const QString& program, const QStringList& arguments, Ping ping)
{
    connect(&process, &QProcess::readyReadStandardOutput, this, &WorkerRun::readOutput);
    connect(&process, &QProcess::readyReadStandardError, this,
            [this] { errorText += QString::fromUtf8(process.readAllStandardError()); });
    pinger.setInterval(2000);
    connect(&pinger, &QTimer::timeout, this, [this] { send("ping"); });
    process.start(program, arguments);
    process.waitForStarted(30000);
    if (ping == PingEveryTwoSeconds)
        pinger.start();
}

WorkerRun::~WorkerRun()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
}

void WorkerRun::send(const QByteArray& command)
{
    if (process.state() == QProcess::Running)
        process.write(command + '\n');
}

void WorkerRun::readOutput()
{
    partial += process.readAllStandardOutput();
    int newline;
    while ((newline = partial.indexOf('\n')) >= 0) {
        outputLines.append(QString::fromLatin1(partial.left(newline)));
        partial.remove(0, newline + 1);
    }
}

bool WorkerRun::waitForLine(const QString& line, int timeoutMs)
{
    return QTest::qWaitFor([&] { return outputLines.contains(line); }, timeoutMs);
}

bool WorkerRun::waitForLinePrefix(const QString& prefix, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] { return std::any_of(outputLines.begin(), outputLines.end(), [&](const QString& l) { return l.startsWith(prefix); }); },
        timeoutMs);
}

bool WorkerRun::waitForError(const QString& fragment, int timeoutMs)
{
    return QTest::qWaitFor([&] { return errorText.contains(fragment); }, timeoutMs);
}

bool WorkerRun::waitForExit(int timeoutMs)
{
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
}
