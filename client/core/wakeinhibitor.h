#pragma once

#include <QObject>

namespace OrvantaClient::App {

// Keeps the display awake while the client runs: a wall of cameras must not
// go dark. Uses the freedesktop screen-saver inhibition on the session bus;
// without a session bus it does nothing. Never fails the start-up.
class WakeInhibitor : public QObject
{
    Q_OBJECT
public:
    explicit WakeInhibitor(QObject* parent = nullptr);
    ~WakeInhibitor() override;

    void inhibit(const QString& applicationName, const QString& reason);
    void release();
    bool isActive() const { return m_active; }

private:
    uint m_cookie = 0;
    bool m_active = false;
};

} // namespace OrvantaClient::App
