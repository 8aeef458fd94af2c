#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QTcpSocket;

namespace Camsim {

class FlvLoop;

// A live FLV stream played from a pre-encoded loop, the way a video server
// with a GOP cache serves one: every viewer of the loop sees the same moment,
// and a new viewer gets the set-up tags, then the pictures from the last key
// frame up to now at once, then the rest in real time.
class FlvLiveStream : public QObject
{
    Q_OBJECT
public:
    // A client that lets this much pile up is skipped ahead rather than fed.
    static constexpr qint64 maxBacklog = 16 * 1024 * 1024;
    static constexpr int tickMs = 20;

    // phaseMs sets where in the loop this camera is at a given moment: cameras
    // of a wall do not start their groups of pictures together.
    FlvLiveStream(QTcpSocket* socket, std::shared_ptr<const FlvLoop> loop, qint64 phaseMs, int dropAfterSecs,
                  QObject* parent = nullptr);

    // Milliseconds of the clock all live loops run on, from its first use.
    static qint64 clockMs();

private:
    // A frame of the loop played round after round.
    struct Position
    {
        qint64 round = 0;
        int index = 0;
    };

    qint64 liveNow() const { return clockMs() + m_phase; }
    qint64 timeOf(const Position& position) const;
    Position keyFrameAt(qint64 time) const;
    void sendUntil(qint64 time);
    void tick();
    void finish();

    QPointer<QTcpSocket> m_socket;
    std::shared_ptr<const FlvLoop> m_loop;
    qint64 m_phase = 0;
    Position m_next;
    qint64 m_origin = 0; // the clock time of the first frame sent
    bool m_heldBack = false;
    QTimer m_timer;
};

} // namespace Camsim
