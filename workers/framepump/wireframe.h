#pragma once

#include <QByteArray>

namespace VLC {

// One frame of a local server's stream, as it comes off the wire (little-endian):
// command, length N of the rest, then 28 bytes of header fields, the video payload,
// its audio payload and 20 trailing bytes. The payload pointers point into the
// buffer the frame was parsed from.
struct WireFrame
{
    static constexpr int prefixSize = 8;
    // Bytes after the length field that every frame carries besides its payloads.
    static constexpr quint32 fixedSize = 52;
    // No camera's frame comes near this; anything longer is a broken stream.
    static constexpr quint32 maximumLength = 64u * 1024 * 1024;

    // The length field of a prefix; validLength() says whether a frame may have it.
    static quint32 declaredLength(const char* prefix);
    static bool validLength(quint32 length);

    // Parses a whole frame (prefix included). False when the payload lengths do not
    // fit the frame.
    bool parse(const QByteArray& bytes);

    // The bytes of a frame with these fields, as a server sends them.
    static QByteArray compose(quint32 command, qint32 width, qint32 height, qint64 timestamp,
                              const QByteArray& video, const QByteArray& audio = QByteArray());
    // A service frame whose video payload is the stream description.
    static QByteArray composeDescription(int videoCodec, int audioCodec, int sampleRate, int width, int height,
                                         qint64 timestamp);

    bool isServiceFrame() const { return width == 666 && height == 666; }

    // What a service frame says about the stream: JSON text in its video payload,
    // up to a NUL. A field that is missing or not a whole number that fits reads as 0.
    struct Description
    {
        int videoCodec = 0;
        int audioCodec = 0;
        int sampleRate = 0;
        int width = 0;
        int height = 0;
    };
    Description description() const;

    quint32 command = 0;
    qint32 width = 0;
    qint32 height = 0;
    qint64 timestamp = 0;
    const char* video = nullptr;
    quint32 videoLength = 0;
    const char* audio = nullptr;
    quint32 audioLength = 0;
};

} // namespace VLC
