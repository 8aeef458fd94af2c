#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace OrvantaClient::App {

// The log file of one run and the message handler that writes to it. The
// handler may be called from any thread; writes are serialised by one mutex.
class Logger
{
public:
    // Opens (and empties) the log file, owner-readable only since it holds
    // account e-mails, and installs the message handler, keeping the one that
    // was installed before. Returns false when the file cannot be opened.
    static bool open(const QString& fileName);

    // Restores the previous handler and closes the file.
    static void close();

    // The line written for one message, without the line end, or a null string
    // for message types that are not written.
    static QString formatLine(QtMsgType type, const QDateTime& time, const QString& message);

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);
};

} // namespace OrvantaClient::App
