#include "flvlivestream.h"

#include "flvloop.h"

#include <QElapsedTimer>
#include <QTcpSocket>

namespace Camsim {

qint64 FlvLiveStream::clockMs()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

FlvLiveStream::FlvLiveStream(QTcpSocket* socket, std::shared_ptr<const FlvLoop> loop, qint64 phaseMs,
                             int dropAfterSecs, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_loop(std::move(loop))
    , m_phase(qMax<qint64>(0, phaseMs))
{
    connect(socket, &QTcpSocket::disconnected, this, &FlvLiveStream::finish);
    connect(socket, &QObject::destroyed, this, &FlvLiveStream::finish);

    QByteArray setup = m_loop->header();
    FlvLoop::appendTag(setup, m_loop->script(), 0);
    for (const FlvLoop::Tag& tag : m_loop->codecSetup())
        FlvLoop::appendTag(setup, tag, 0);
    socket->write(setup);

    const qint64 now = liveNow();
    m_next = keyFrameAt(now);
    m_origin = timeOf(m_next);
    sendUntil(now);

    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &FlvLiveStream::tick);
    m_timer.start();
    if (dropAfterSecs > 0) {
        QTimer::singleShot(dropAfterSecs * 1000, this, [this] {
            if (m_socket)
                m_socket->abort();
            finish();
        });
    }
}

qint64 FlvLiveStream::timeOf(const Position& position) const
{
    return position.round * m_loop->duration() + m_loop->frames().at(position.index).timestamp;
}

FlvLiveStream::Position FlvLiveStream::keyFrameAt(qint64 time) const
{
    const qint64 duration = m_loop->duration();
    Position key;
    key.round = time / duration;
    key.index = m_loop->keyFrameAt(time % duration);
    if (key.index < 0) {
        // Before the loop's first key frame: the previous round's last.
        --key.round;
        key.index = m_loop->lastKeyFrame();
    }
    return key;
}

void FlvLiveStream::sendUntil(qint64 time)
{
    const QVector<FlvLoop::Tag>& frames = m_loop->frames();
    QByteArray out;
    while (timeOf(m_next) <= time) {
        FlvLoop::appendTag(out, frames.at(m_next.index), timeOf(m_next) - m_origin);
        if (++m_next.index == frames.size()) {
            m_next.index = 0;
            ++m_next.round;
        }
    }
    if (!out.isEmpty())
        m_socket->write(out);
}

void FlvLiveStream::tick()
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        finish();
        return;
    }
    if (m_socket->bytesToWrite() > maxBacklog) {
        m_heldBack = true;
        return;
    }
    const qint64 now = liveNow();
    if (m_heldBack) {
        // What the client missed is gone, as with a real server: it goes on
        // from the current key frame, its timestamps jumping by the time skipped.
        m_heldBack = false;
        const Position key = keyFrameAt(now);
        if (timeOf(key) > timeOf(m_next))
            m_next = key;
    }
    sendUntil(now);
}

void FlvLiveStream::finish()
{
    m_timer.stop();
    deleteLater();
}

} // namespace Camsim
