#include "tourrunner.h"

#include <QDeadlineTimer>
#include <QTimer>

namespace OrvantaClient::GUI {

namespace Internal {

class TourRunnerPrivate
{
public:
    explicit TourRunnerPrivate(TourRunner* q) : q(q) {}

    TourRunner* q;
    QStringList steps;
    std::function<bool(const QString&)> available = [](const QString&) { return true; };
    int index = -1;
    bool running = false;
    bool paused = false;
    int dwellMs = 15000;
    int preloadMs = TourRunner::defaultPreloadMs;
    int quietMs = TourRunner::defaultQuietMs;
    QTimer dwell;
    QTimer preload;
    QTimer quiet;
    QDeadlineTimer next;

    // The next available step after the current one, the current one when it
    // is the only one left, -1 when there is none at all.
    int nextIndex() const
    {
        for (int i = 1; i <= steps.size(); ++i) {
            const int candidate = (index + i) % steps.size();
            if (available(steps.at(candidate)))
                return candidate;
        }
        return -1;
    }

    void startDwell()
    {
        next.setRemainingTime(dwellMs, Qt::PreciseTimer);
        dwell.start(dwellMs);
        if (preloadMs > 0 && steps.size() > 1)
            preload.start(qMax(0, dwellMs - preloadMs));
    }

    void advance()
    {
        const int following = nextIndex();
        if (following < 0) {
            q->stop();
            return;
        }
        const bool changed = following != index;
        index = following;
        startDwell();
        // Only the switch itself: a lone step left stays on screen as it is.
        if (changed)
            emit q->show(steps.at(index));
    }

    void makeNextReady()
    {
        const int following = nextIndex();
        if (following >= 0 && following != index)
            emit q->preload(steps.at(following));
    }
};

} // namespace Internal

TourRunner::TourRunner(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Internal::TourRunnerPrivate>(this))
{
    for (QTimer* timer : {&d->dwell, &d->preload, &d->quiet}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&d->dwell, &QTimer::timeout, this, [this] { d->advance(); });
    connect(&d->preload, &QTimer::timeout, this, [this] { d->makeNextReady(); });
    connect(&d->quiet, &QTimer::timeout, this, [this] {
        d->paused = false;
        d->startDwell();
        emit pausedChanged(false);
    });
}

TourRunner::~TourRunner() = default;

void TourRunner::setTimings(int dwellMs, int preloadMs, int quietMs)
{
    d->dwellMs = qMax(1, dwellMs);
    d->preloadMs = qMax(0, preloadMs);
    d->quietMs = qMax(1, quietMs);
}

int TourRunner::dwellMs() const { return d->dwellMs; }

void TourRunner::setAvailability(std::function<bool(const QString&)> available)
{
    d->available = std::move(available);
}

void TourRunner::start(const QStringList& steps)
{
    stop();
    d->steps = steps;
    d->index = -1;
    d->paused = false;
    d->running = true;
    d->advance();
}

void TourRunner::stop()
{
    if (!d->running)
        return;
    d->running = false;
    d->paused = false;
    d->dwell.stop();
    d->preload.stop();
    d->quiet.stop();
    emit stopped();
}

bool TourRunner::isRunning() const { return d->running; }
bool TourRunner::isPaused() const { return d->paused; }
QString TourRunner::current() const { return d->index >= 0 ? d->steps.value(d->index) : QString(); }
int TourRunner::position() const { return d->index; }
int TourRunner::count() const { return d->steps.size(); }

int TourRunner::msToNext() const
{
    if (!d->running || d->paused)
        return -1;
    return int(qMax<qint64>(0, d->next.remainingTime()));
}

void TourRunner::interact()
{
    if (!d->running)
        return;
    d->quiet.start(d->quietMs);
    if (d->paused)
        return;
    d->paused = true;
    d->dwell.stop();
    d->preload.stop();
    emit pausedChanged(true);
}

} // namespace OrvantaClient::GUI
