#include "sustream.h"

#include "testpicture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QtEndian>
#include <cmath>

namespace Camsim {

namespace {

void append32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void append64(QByteArray& out, qint64 value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    out.append(bytes, 8);
}

// A socket whose peer reads slower than we send is not fed without bound.
constexpr qint64 maxBacklog = 32 * 1024 * 1024;

} // namespace

SuStream::SuStream(QTcpSocket* socket, const QString& name, const QSize& size, int fps, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_name(name)
    , m_size(size)
    , m_fps(fps)
{
    connect(socket, &QObject::destroyed, this, &QObject::deleteLater);
    socket->write(serviceFrame(size));
    m_clock.start();
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1000 / qMax(1, fps));
    connect(&m_timer, &QTimer::timeout, this, &SuStream::sendFrame);
    m_timer.start();
}

QByteArray SuStream::wireFrame(int width, int height, qint64 timestamp, const QByteArray& video,
                               const QByteArray& audio)
{
    QByteArray frame;
    frame.reserve(60 + video.size() + audio.size());
    append32(frame, 1);
    append32(frame, quint32(52 + video.size() + audio.size()));
    frame.append('\0');
    append32(frame, quint32(width));
    append32(frame, quint32(height));
    append64(frame, timestamp);
    frame.append(3, '\0');
    append32(frame, 0);
    append32(frame, quint32(video.size()));
    frame.append(video);
    append32(frame, quint32(audio.size()));
    frame.append(audio);
    frame.append(20, '\0');
    return frame;
}

QByteArray SuStream::serviceFrame(const QSize& size)
{
    const QJsonObject description{{"vcodec", videoCodecI420}, {"acodec", audioCodecMuLaw}, {"sample_rate", sampleRate},
                                  {"width", size.width()}, {"height", size.height()}};
    QByteArray text = QJsonDocument(description).toJson(QJsonDocument::Compact);
    text.append('\0');
    return wireFrame(666, 666, 0, text, QByteArray());
}

quint8 SuStream::muLaw(qint16 sample)
{
    const int bias = 0x84;
    int value = sample;
    const int sign = value < 0 ? 0x80 : 0;
    if (value < 0)
        value = -value;
    value = qMin(value, 32635) + bias;
    int exponent = 7;
    for (int mask = 0x4000; (value & mask) == 0 && exponent > 0; mask >>= 1)
        --exponent;
    const int mantissa = (value >> (exponent + 3)) & 0x0f;
    return quint8(~(sign | (exponent << 4) | mantissa));
}

void SuStream::sendFrame()
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        deleteLater();
        return;
    }
    if (m_socket->bytesToWrite() > maxBacklog)
        return;
    const qint64 timestamp = m_clock.elapsed();
    const QImage picture = TestPicture::render(m_name, m_size, QDateTime::currentDateTime(), m_frames);
    QByteArray audio;
    const int samples = sampleRate / m_fps;
    audio.reserve(samples);
    for (int i = 0; i < samples; ++i) {
        const double t = double(m_frames * samples + i) / sampleRate;
        audio.append(char(muLaw(qint16(3000 * std::sin(2 * M_PI * 440 * t)))));
    }
    m_socket->write(wireFrame(m_size.width(), m_size.height(), timestamp, TestPicture::toI420(picture), audio));
    ++m_frames;
}

} // namespace Camsim
