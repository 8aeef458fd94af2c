#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class TourRunnerPrivate;
}

// The timing of a tour, free of widgets: which step is shown, when the next
// one is to be made ready and when it is shown, and the pause while the user
// works in the window. A step is an opaque name (a layout or a camera id); one
// that is no longer available when its turn comes is skipped.
class TourRunner : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultPreloadMs = 3000;
    static constexpr int defaultQuietMs = 15000;

    explicit TourRunner(QObject* parent = nullptr);
    ~TourRunner() override;

    // How long each step stays, how long before a switch the next step is
    // made ready (0: never), and how long the user must leave the window
    // alone before the tour goes on. Tests shorten them.
    void setTimings(int dwellMs, int preloadMs, int quietMs);
    int dwellMs() const;
    void setAvailability(std::function<bool(const QString&)> available);

    // Shows the first available step at once; stops when none is available.
    void start(const QStringList& steps);
    void stop();

    bool isRunning() const;
    bool isPaused() const;
    QString current() const;
    int position() const; // of the current step in the list, from 0
    int count() const;
    // Until the next switch; -1 while paused or stopped.
    int msToNext() const;

public slots:
    // The user did something in the window: hold the current step, and go on
    // with a whole dwell once the window has been left alone for a while.
    void interact();

signals:
    void preload(QString step);
    void show(QString step);
    void pausedChanged(bool paused);
    void stopped();

private:
    std::unique_ptr<Internal::TourRunnerPrivate> d;
};

} // namespace OrvantaClient::GUI
