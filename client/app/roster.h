#pragma once

#include <QObject>

namespace OrvantaClient::App {

// The process-wide roster: the servers and cameras of the account and the
// local servers of this computer.
class Roster : public QObject
{
    Q_OBJECT
public:
    static Roster* instance();

    bool isLoggedIn() const { return m_loggedIn; }

public slots:
    void login();
    void logout();

private:
    Roster();
    bool m_loggedIn = false;
};

} // namespace OrvantaClient::App
