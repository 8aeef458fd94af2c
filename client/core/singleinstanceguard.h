#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace OrvantaClient::App {

// One watchdesk per user: the first process listens on a local socket named
// after the key; a later one finds it by connecting and then exits.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstanceGuard(QObject* parent = nullptr);

    // Returns true when another instance answers on key. Otherwise starts
    // listening on it, recovering a name left behind by a process that died.
    bool check(const QString& key, int timeoutMs = 30000);

    bool isListening() const;

    // Ends this instance's claim and then starts program as its successor,
    // detached. Stopping to listen first is what lets the successor come up:
    // it would otherwise still find this instance and exit at once.
    bool handOver(const QString& program, const QStringList& arguments, qint64* pid = nullptr);

signals:
    // A later start of the program knocked.
    void anotherLaunch();

private:
    void takeConnection();

    QLocalServer* m_server = nullptr;
};

} // namespace OrvantaClient::App
