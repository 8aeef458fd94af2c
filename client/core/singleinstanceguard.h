#pragma once

#include <QObject>
#include <QString>

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

signals:
    // A later start of the program knocked.
    void anotherLaunch();

private:
    void takeConnection();

    QLocalServer* m_server = nullptr;
};

} // namespace OrvantaClient::App
