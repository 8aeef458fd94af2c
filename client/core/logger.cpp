#include "logger.h"

#include "privatefile.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QTextStream>
#include <cstdlib>

namespace OrvantaClient::App {

namespace {

struct LogState
{
    QMutex mutex;
    QFile file;
    QTextStream stream;
    QtMessageHandler previousHandler = nullptr;
    bool installed = false;
};

LogState& state()
{
    // Never destroyed: threads may still log while the process exits.
    static LogState* logState = new LogState;
    return *logState;
}

} // namespace

bool Logger::open(const QString& fileName)
{
    LogState& s = state();
    QMutexLocker locker(&s.mutex);
    if (s.file.isOpen())
        s.file.close();
    s.file.setFileName(fileName);
    if (!s.file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    PrivateFile::restrict(fileName, false);
    s.stream.setDevice(&s.file);
    s.stream.setCodec("UTF-8");
    if (!s.installed) {
        s.previousHandler = qInstallMessageHandler(&Logger::handleMessage);
        s.installed = true;
    }
    return true;
}

void Logger::close()
{
    LogState& s = state();
    QMutexLocker locker(&s.mutex);
    if (s.installed) {
        qInstallMessageHandler(s.previousHandler);
        s.previousHandler = nullptr;
        s.installed = false;
    }
    s.stream.setDevice(nullptr);
    s.file.close();
}

QString Logger::formatLine(QtMsgType type, const QDateTime& time, const QString& message)
{
    const QString line = time.toString(QStringLiteral("dd.MM.yyyy hh:mm::ss.zzz ")) + message;
    switch (type) {
    case QtDebugMsg:
        return line;
    case QtWarningMsg:
        return QStringLiteral("Warning: ") + line;
    case QtCriticalMsg:
        return QStringLiteral("Critical: ") + line;
    case QtFatalMsg:
        return QStringLiteral("Fatal: ") + line;
    default:
        return QString();
    }
}

void Logger::handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogState& s = state();
    QtMessageHandler previous = s.previousHandler;
    if (previous)
        previous(type, context, message);

    const QString line = formatLine(type, QDateTime::currentDateTime(), message);
    if (!line.isNull()) {
        QMutexLocker locker(&s.mutex);
        if (s.stream.device()) {
            s.stream << line << Qt::endl;
        }
    }
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace OrvantaClient::App
