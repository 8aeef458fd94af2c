#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace OrvantaClient::GUI::Player {
class VideoWidget;
}

namespace Bench {

// Counts new pictures painted in one cell: a paint that shows a picture other
// than the last one painted is one picture shown. Times are on the given clock.
class PaintCounter : public QObject
{
public:
    PaintCounter(OrvantaClient::GUI::Player::VideoWidget* player, const QElapsedTimer& clock);

    qint64 shown = 0;
    qint64 firstMs = -1; // the first picture
    qint64 lastMs = -1;  // the latest new picture

    // A new picture came within the last windowMs.
    bool moving(qint64 windowMs) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OrvantaClient::GUI::Player::VideoWidget* m_player;
    const QElapsedTimer& m_clock;
    qint64 m_lastKey = 0;
};

} // namespace Bench
