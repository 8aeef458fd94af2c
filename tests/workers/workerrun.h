#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

// One worker process under test: collects its status lines and its standard error
// as they come and, when asked, pings it every 2 seconds as watchdesk does.
class WorkerRun : public QObject
{
    Q_OBJECT
public:
    enum Ping { NoPing, PingEveryTwoSeconds };

    WorkerRun(const QString& program, const QStringList& arguments, Ping ping = PingEveryTwoSeconds);
    ~WorkerRun() override;

    void send(const QByteArray& command);
    QStringList lines() const { return outputLines; }
    QString errors() const { return errorText; }
    int indexOf(const QString& line) const { return outputLines.indexOf(line); }

    // Wait, with the event loop running, until the line (or a line starting with
    // the prefix) has come, or an error text containing the fragment.
    bool waitForLine(const QString& line, int timeoutMs = 30000);
    bool waitForLinePrefix(const QString& prefix, int timeoutMs = 30000);
    bool waitForError(const QString& fragment, int timeoutMs = 30000);
    bool waitForExit(int timeoutMs = 30000);

    QProcess process;

private:
    void readOutput();

    QTimer pinger;
    QByteArray partial;
    QStringList outputLines;
    QString errorText;
};
