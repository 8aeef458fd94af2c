#include "layouts.h"

#include <QDebug>

namespace OrvantaClient::App {

Layouts* Layouts::instance()
{
    // Kept for the life of the process.
    static Layouts* layouts = new Layouts;
    return layouts;
}

Layouts::Layouts() = default;

void Layouts::login()
{
    if (m_loggedIn) {
        qDebug() << "Trying to login Layouts without logout first";
        return;
    }
    m_loggedIn = true;
}

void Layouts::logout()
{
    if (!m_loggedIn) {
        qDebug() << "Trying to logout Layouts without login first";
        return;
    }
    m_loggedIn = false;
}

} // namespace OrvantaClient::App
