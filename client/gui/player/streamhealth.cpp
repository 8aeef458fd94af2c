#include "streamhealth.h"

namespace OrvantaClient::GUI::Player {

namespace Internal {

class StreamHealthPrivate
{
public:
    bool sampled = false;
    qint64 received = 0;
    qint64 shown = 0;
    qint64 msecs = 0;
    double receivedRate = 0;
    double shownRate = 0;
};

} // namespace Internal

StreamHealth::StreamHealth()
    : d(std::make_unique<Internal::StreamHealthPrivate>())
{
}

StreamHealth::~StreamHealth() = default;

void StreamHealth::sample(qint64 received, qint64 shown, qint64 msecs)
{
    const qint64 elapsed = msecs - d->msecs;
    // Samples closer than this would make a rate of a handful of pictures;
    // totals that went back (counted anew) start over.
    if (d->sampled && elapsed < 200 && elapsed >= 0 && received >= d->received && shown >= d->shown)
        return;
    if (d->sampled && elapsed > 0 && received >= d->received && shown >= d->shown) {
        d->receivedRate = (received - d->received) * 1000.0 / elapsed;
        d->shownRate = (shown - d->shown) * 1000.0 / elapsed;
    } else {
        d->receivedRate = 0;
        d->shownRate = 0;
    }
    d->sampled = true;
    d->received = received;
    d->shown = shown;
    d->msecs = msecs;
}

double StreamHealth::receivedRate() const { return d->receivedRate; }
double StreamHealth::shownRate() const { return d->shownRate; }

} // namespace OrvantaClient::GUI::Player
