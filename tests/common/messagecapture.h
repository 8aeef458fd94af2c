#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

// Collects the messages logged while it lives, instead of the test's own log.
class MessageCapture
{
public:
    MessageCapture()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(&MessageCapture::handle);
    }
    ~MessageCapture() { qInstallMessageHandler(m_previous); }

    QStringList messages() const
    {
        QMutexLocker locker(&mutex());
        return lines();
    }
    void clear()
    {
        QMutexLocker locker(&mutex());
        lines().clear();
    }
    bool contains(const QString& text) const
    {
        for (const QString& line : messages()) {
            if (line.contains(text))
                return true;
        }
        return false;
    }

private:
    static QStringList& lines()
    {
        static QStringList list;
        return list;
    }
    static QMutex& mutex()
    {
        static QMutex m;
        return m;
    }
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        QMutexLocker locker(&mutex());
        lines() << message;
    }

    QtMessageHandler m_previous;
};
