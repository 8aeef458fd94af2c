#include "usernotices.h"

namespace OrvantaClient::App {

UserNotices& UserNotices::instance()
{
    static UserNotices notices;
    return notices;
}

void UserNotices::post(const QString& text)
{
    m_pending.append(text);
    emit posted();
}

QStringList UserNotices::takeAll()
{
    QStringList taken;
    taken.swap(m_pending);
    return taken;
}

} // namespace OrvantaClient::App
