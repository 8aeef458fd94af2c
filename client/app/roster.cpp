#include "roster.h"

#include <QDebug>

namespace OrvantaClient::App {

Roster* Roster::instance()
{
    // Kept for the life of the process.
    static Roster* roster = new Roster;
    return roster;
}

Roster::Roster() = default;

void Roster::login()
{
    if (m_loggedIn) {
        qDebug() << "Trying to login Roster without logout first";
        return;
    }
    m_loggedIn = true;
}

void Roster::logout()
{
    if (!m_loggedIn) {
        qDebug() << "Trying to logout Roster without login first";
        return;
    }
    m_loggedIn = false;
}

} // namespace OrvantaClient::App
