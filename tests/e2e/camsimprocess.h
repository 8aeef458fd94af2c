#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <sys/types.h>

// camsim as a child process: the simulated service and local servers the
// client under test talks to. It is started before the application object
// exists (it writes the client's working folder), so it is spawned directly;
// its request log is read from the file its output goes to, and faults are
// set through its control port.
class CamsimProcess
{
public:
    CamsimProcess() = default;
    ~CamsimProcess();
    CamsimProcess(const CamsimProcess&) = delete;
    CamsimProcess& operator=(const CamsimProcess&) = delete;

    // Starts camsim and waits until it listens and has written workDir.
    bool start(const QString& program, const QString& workDir, const QString& logDir,
               const QStringList& extraArguments = {});
    quint16 portBase() const { return m_portBase; }
    quint16 localPort(int index) const { return quint16(m_portBase + 2 + index); }

    // Every request logged so far; index() marks a point to look from.
    int index() const;
    QList<QJsonObject> requestsSince(int index) const;
    QList<QJsonObject> requestsSince(int index, const QString& targetPart) const;

    // Needs the application's event loop.
    bool setFaults(const QJsonObject& faults);

private:
    void readLog() const;

    pid_t m_pid = 0;
    quint16 m_portBase = 0;
    QString m_logFile;
    mutable qint64 m_readUpTo = 0;
    mutable QList<QJsonObject> m_log;
};
