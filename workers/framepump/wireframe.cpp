#include "wireframe.h"

#include <QtEndian>

namespace VLC {

namespace {

template<typename T>
T field(const QByteArray& bytes, qint64 offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

} // namespace

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

} // namespace VLC
