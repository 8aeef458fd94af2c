#include "paintcounter.h"

#include "gui/player/videowidget.h"

#include <QEvent>

namespace Bench {

PaintCounter::PaintCounter(OrvantaClient::GUI::Player::VideoWidget* player, const QElapsedTimer& clock)
    : QObject(player)
    , m_player(player)
    , m_clock(clock)
{
    player->installEventFilter(this);
}

bool PaintCounter::moving(qint64 windowMs) const
{
    return lastMs >= 0 && m_clock.elapsed() - lastMs <= windowMs;
}

bool PaintCounter::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint && m_player->hasFrame()) {
        const qint64 key = m_player->image().cacheKey();
        if (key != m_lastKey) {
            m_lastKey = key;
            ++shown;
            lastMs = m_clock.elapsed();
            if (firstMs < 0)
                firstMs = lastMs;
        }
    }
    return false;
}

} // namespace Bench
