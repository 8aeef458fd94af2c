#pragma once

#include "streambase.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <vector>

class QAudioOutput;
class QIODevice;
class QTcpSocket;

namespace CodecDll {
class IAudioDecoder;
class IColorspaceConverter;
class IVideoDecoder;
} // namespace CodecDll

namespace VLC {

struct WireFrame;

// Pulls a local server's stream over TCP, decodes it with the codec library into
// the frame file and plays its sound. Everything but the command reader runs on the
// Qt event loop of the main thread.
class Framepump : public QObject, public StreamBase
{
    Q_OBJECT
public:
    Framepump(const QString& host, int port, const QString& path, const QString& frameFileName,
              QObject* parent = nullptr);
    ~Framepump() override;

    void setPaused(bool paused) override;
    void setVolume(int volume) override;

    static constexpr int errorIntervalMs = 6000;
    // A time line is written when the stream has moved on more than this (ms).
    static constexpr int timeStep = 300;

    // What a frame's timestamp makes of the time line: nothing while it is within
    // timeStep of *last or behind it; else it becomes *last and *position is its
    // distance from base, unless that does not fit 64 bits.
    enum class TimeReport { Skip, Report, OutOfRange };
    static TimeReport timeReport(qint64 timestamp, qint64 base, qint64* last, qint64* position);
    // Far beyond any server's answer to the request line.
    static constexpr qint64 maximumHeaderSize = 64 * 1024;

public slots:
    void readData();
    void sendError();

private:
    bool skipHeader();
    void processFrame();
    bool acceptDescription(const WireFrame& frame);
    bool setupVideo(int codec, int width, int height);
    bool setupAudio(int codec, int sampleRate);
    void releaseVideo();
    void decodeVideo(const WireFrame& frame);
    void decodeAudio(const WireFrame& frame);
    void reportTime(qint64 timestamp);

    const int prefixSize = 8;
    const int audioBufferSize = 1048576;
    const int channels = 1;
    const int sampleBits = 16;

    QTcpSocket* socket;
    bool headerSkipped = false;
    qint64 headerSize = 0;
    bool haveDescription = false;
    int expectedSize = 0;
    QByteArray frameBuffer;
    qint64 baseTimestamp = 0;
    qint64 lastTimestamp = 0;
    std::atomic<bool> paused{false};
    QTimer errorTimer;

    CodecDll::IVideoDecoder* videoDecoder = nullptr;
    CodecDll::IColorspaceConverter* converter = nullptr;
    std::vector<uint8_t> decodedImage;
    int width = -1;
    int height = -1;
    int videoCodec = -1;

    QAudioOutput* audioOutput = nullptr;
    QIODevice* audioDevice = nullptr;
    bool audioReady = false;
    CodecDll::IAudioDecoder* audioDecoder = nullptr;
    std::vector<uint8_t> audioBuffer;
    std::atomic<double> volume{0.0};
};

} // namespace VLC
