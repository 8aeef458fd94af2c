#include "wireframe.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

namespace VLC {

namespace {

template<typename T>
T field(const QByteArray& bytes, qint64 offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

template<typename T>
void append(QByteArray& bytes, T value)
{
    char buffer[sizeof(T)];
    qToLittleEndian<T>(value, buffer);
    bytes.append(buffer, int(sizeof(T)));
}

} // namespace

QByteArray WireFrame::compose(quint32 command, qint32 width, qint32 height, qint64 timestamp, const QByteArray& video,
                              const QByteArray& audio)
{
    QByteArray body(1, '\0');
    append<qint32>(body, width);
    append<qint32>(body, height);
    append<qint64>(body, timestamp);
    body.append(7, '\0');
    append<quint32>(body, quint32(video.size()));
    body += video;
    append<quint32>(body, quint32(audio.size()));
    body += audio;
    body.append(20, '\0');
    QByteArray frame;
    append<quint32>(frame, command);
    append<quint32>(frame, quint32(body.size()));
    return frame + body;
}

QByteArray WireFrame::composeDescription(int videoCodec, int audioCodec, int sampleRate, int width, int height,
                                         qint64 timestamp)
{
    const QJsonObject description{{QStringLiteral("vcodec"), videoCodec},
                                  {QStringLiteral("acodec"), audioCodec},
                                  {QStringLiteral("sample_rate"), sampleRate},
                                  {QStringLiteral("width"), width},
                                  {QStringLiteral("height"), height}};
    QByteArray text = QJsonDocument(description).toJson(QJsonDocument::Compact);
    text.append('\0');
    return compose(1, 666, 666, timestamp, text);
}

quint32 WireFrame::declaredLength(const char* prefix)
{
    return qFromLittleEndian<quint32>(prefix + 4);
}

bool WireFrame::validLength(quint32 length)
{
    return length >= fixedSize && length <= maximumLength;
}

bool WireFrame::parse(const QByteArray& bytes)
{
    if (bytes.size() < prefixSize + qint64(fixedSize))
        return false;
    const qint64 total = bytes.size();
    command = field<quint32>(bytes, 0);
    width = field<qint32>(bytes, 9);
    height = field<qint32>(bytes, 13);
    timestamp = field<qint64>(bytes, 17);
    videoLength = field<quint32>(bytes, 32);
    // 64-bit sums: the declared lengths come from the network.
    const qint64 audioOffset = 36 + qint64(videoLength);
    if (audioOffset + 4 + 20 > total)
        return false;
    audioLength = field<quint32>(bytes, audioOffset);
    if (audioOffset + 4 + qint64(audioLength) + 20 > total)
        return false;
    video = bytes.constData() + 36;
    audio = bytes.constData() + audioOffset + 4;
    return true;
}

WireFrame::Description WireFrame::description() const
{
    QByteArray text(video, int(videoLength));
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    const QJsonObject object = QJsonDocument::fromJson(text).object();
    Description result;
    result.videoCodec = object.value(QLatin1String("vcodec")).toInt();
    result.audioCodec = object.value(QLatin1String("acodec")).toInt();
    result.sampleRate = object.value(QLatin1String("sample_rate")).toInt();
    result.width = object.value(QLatin1String("width")).toInt();
    result.height = object.value(QLatin1String("height")).toInt();
    return result;
}

} // namespace VLC
