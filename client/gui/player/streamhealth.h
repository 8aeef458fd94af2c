#pragma once

#include <QtGlobal>
#include <memory>

namespace OrvantaClient::GUI::Player {

namespace Internal {
class StreamHealthPrivate;
}

// The rates of the pictures a cell receives from its worker and shows, from the
// running totals taken about once a second: the cell only counts, and the rates
// are worked out when someone looks.
class StreamHealth
{
public:
    StreamHealth();
    ~StreamHealth();

    // The totals at a moment, in milliseconds of a steady clock.
    void sample(qint64 received, qint64 shown, qint64 msecs);
    // Per second over the last two samples; 0 until there are two.
    double receivedRate() const;
    double shownRate() const;

private:
    std::unique_ptr<Internal::StreamHealthPrivate> d;
};

} // namespace OrvantaClient::GUI::Player
