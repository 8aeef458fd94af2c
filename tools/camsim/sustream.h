#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>

class QTcpSocket;

namespace Camsim {

// The raw TCP stream a local video server sends to framepump: after the HTTP
// header, a service frame describing the stream, then media frames (I420
// video, G.711 mu-law audio) at the camera's frame rate.
class SuStream : public QObject
{
    Q_OBJECT
public:
    static constexpr int videoCodecI420 = 2;
    static constexpr int audioCodecMuLaw = 2;
    static constexpr int sampleRate = 8000;

    SuStream(QTcpSocket* socket, const QString& name, const QSize& size, int fps, QObject* parent = nullptr);

    // One wire frame: command 1, length, geometry, timestamp, payloads, trailer.
    static QByteArray wireFrame(int width, int height, qint64 timestamp, const QByteArray& video,
                                const QByteArray& audio);
    static QByteArray serviceFrame(const QSize& size);
    static quint8 muLaw(qint16 sample);

private:
    void sendFrame();

    QPointer<QTcpSocket> m_socket;
    QString m_name;
    QSize m_size;
    int m_fps;
    qint64 m_frames = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
};

} // namespace Camsim
