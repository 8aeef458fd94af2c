#pragma once

#include <QObject>

class QSocketNotifier;

namespace OrvantaClient::App {

// Turns SIGTERM and SIGINT (a logout of the desktop session, a shutdown,
// kill, Ctrl+C) into a signal of the event loop, so that the program can quit
// the normal way: workers stopped, files written. A second such signal while
// quitting ends the process the hard way, as without this class.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers; one instance per process.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void quitRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace OrvantaClient::App
