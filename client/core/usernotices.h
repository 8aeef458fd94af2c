#pragma once

#include <QObject>
#include <QStringList>

namespace OrvantaClient::App {

// Problems the user must learn of that arise where no window is at hand: at
// start-up, before any window opens, or in the stores. Each notice is shown
// once, by the first main window that takes it: at once when a window is
// open, else when the first one opens.
class UserNotices : public QObject
{
    Q_OBJECT
public:
    static UserNotices& instance();

    void post(const QString& text);
    // The notices not shown yet; they are the caller's to show from now on.
    QStringList takeAll();
    QStringList pending() const { return m_pending; }

signals:
    void posted();

private:
    UserNotices() = default;
    QStringList m_pending;
};

} // namespace OrvantaClient::App
