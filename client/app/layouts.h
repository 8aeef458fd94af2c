#pragma once

#include <QObject>

namespace OrvantaClient::App {

// The process-wide layouts of the account, kept in step with the service
// and with a local file per account.
class Layouts : public QObject
{
    Q_OBJECT
public:
    static Layouts* instance();

    bool isLoggedIn() const { return m_loggedIn; }

public slots:
    void login();
    void logout();

private:
    Layouts();
    bool m_loggedIn = false;
};

} // namespace OrvantaClient::App
