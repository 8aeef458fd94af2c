#include "framepump.h"

#include "codecdll.h"
#include "statusoutput.h"
#include "wireframe.h"

#include <QAudioOutput>
#include <QTcpSocket>

#include <thread>

namespace VLC {

namespace {

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray resolution(int width, int height)
{
    return StatusOutput::geometry(width, height);
}

} // namespace

Framepump::Framepump(const QString& host, int port, const QString& path, const QString& frameFileName,
                     QObject* parent)
    : QObject(parent)
    , StreamBase(frameFileName)
    , socket(new QTcpSocket(this))
    , audioBuffer(size_t(audioBufferSize))
{
    connect(socket, &QTcpSocket::readyRead, this, &Framepump::readData);
    connect(socket, &QAbstractSocket::errorOccurred, this, [this] {
        StatusOutput::writeError("Connection error: " + socket->errorString().toUtf8());
    });
    CodecDll_Create();
    errorTimer.setInterval(errorIntervalMs);
    connect(&errorTimer, &QTimer::timeout, this, &Framepump::sendError);
    socket->connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    socket->write("GET " + path.toLatin1() + " HTTP/1.1\r\n\r\n");
    std::thread([this] { readCommands(); }).detach();
}

Framepump::~Framepump()
{
    socket->close();
    if (audioOutput)
        audioOutput->stop();
    if (audioDecoder)
        audioDecoder->release();
    releaseVideo();
    CodecDll_Destroy();
}

void Framepump::setPaused(bool value)
{
    paused.exchange(value);
}

void Framepump::setVolume(int value)
{
    volume.store(value / 100.0);
}

void Framepump::sendError()
{
    StatusOutput::writeLine("state", 7);
}

// The server answers the request line with an HTTP header; the frames follow the
// empty line that ends it. Only complete lines are taken, so a header split over
// several reads is skipped whole. A header that never ends would otherwise pile up
// in the socket's buffer for ever, so it is capped.
bool Framepump::skipHeader()
{
    while (!headerSkipped && headerSize <= maximumHeaderSize && socket->canReadLine()) {
        // At most one byte past the cap: a line that long is refused unread.
        const QByteArray line = socket->readLine(maximumHeaderSize - headerSize + 2);
        headerSize += line.size();
        if (headerSize <= maximumHeaderSize)
            headerSkipped = line.trimmed().isEmpty();
    }
    if (headerSkipped)
        return true;
    // What is left in the buffer is the start of a line still to be ended.
    if (headerSize + socket->bytesAvailable() > maximumHeaderSize) {
        StatusOutput::writeError("Drop connection: HTTP header longer than " + number(maximumHeaderSize) + " bytes");
        socket->abort();
        sendError();
    }
    return false;
}

void Framepump::readData()
{
    if (!skipHeader())
        return;
    while (socket->bytesAvailable() > 0) {
        if (frameBuffer.isEmpty()) {
            if (socket->bytesAvailable() < prefixSize)
                return;
            frameBuffer.resize(prefixSize);
            socket->read(frameBuffer.data(), prefixSize);
            const quint32 length = WireFrame::declaredLength(frameBuffer.constData());
            if (!WireFrame::validLength(length)) {
                // Without a trustworthy length the next frame cannot be found again.
                StatusOutput::writeError("Drop connection: bad frame length: " + number(length));
                frameBuffer.resize(0);
                socket->abort();
                sendError();
                return;
            }
            expectedSize = int(length) + prefixSize;
            frameBuffer.reserve(expectedSize);
        }
        // Straight into the frame buffer: a read() of the whole remainder would
        // allocate a frame-sized array for every few kilobytes that arrive.
        const int have = frameBuffer.size();
        const qint64 chunk = qMin<qint64>(socket->bytesAvailable(), expectedSize - have);
        frameBuffer.resize(have + int(chunk));
        const qint64 got = socket->read(frameBuffer.data() + have, chunk);
        frameBuffer.resize(have + int(qMax<qint64>(got, 0)));
        if (got <= 0)
            return; // nothing could be read after all: wait for the next readyRead
        if (frameBuffer.size() == expectedSize) {
            processFrame();
            // Keeps the reserved capacity for the next frame.
            frameBuffer.resize(0);
        }
    }
}

void Framepump::processFrame()
{
    errorTimer.start();
    if (paused.load())
        return;
    WireFrame frame;
    if (!frame.parse(frameBuffer)) {
        StatusOutput::writeError("Drop frame: payload lengths exceed the frame");
        return;
    }
    if (frame.command != 1) {
        StatusOutput::writeError("Drop frame: CMD != 1");
        return;
    }
    if (frame.isServiceFrame()) {
        if (!haveDescription && !acceptDescription(frame))
            sendError();
        return;
    }
    if (!haveDescription) {
        StatusOutput::writeError("Drop frame: need service frame first");
        return;
    }
    if (frame.videoLength > 0)
        decodeVideo(frame);
    if (audioReady && frame.audioLength > 0)
        decodeAudio(frame);
    reportTime(frame.timestamp);
}

// Timestamps are whatever the peer sends, so neither difference may overflow. The
// step is measured in unsigned 64 bits, where a later timestamp always gives its
// exact distance; a position that a signed 64-bit number cannot hold is not stated.
Framepump::TimeReport Framepump::timeReport(qint64 timestamp, qint64 base, qint64* last, qint64* position)
{
    if (timestamp <= *last || quint64(timestamp) - quint64(*last) <= quint64(timeStep))
        return TimeReport::Skip;
    *last = timestamp;
    return __builtin_sub_overflow(timestamp, base, position) ? TimeReport::OutOfRange : TimeReport::Report;
}

void Framepump::reportTime(qint64 timestamp)
{
    qint64 position = 0;
    switch (timeReport(timestamp, baseTimestamp, &lastTimestamp, &position)) {
    case TimeReport::Report:
        StatusOutput::writeLine("time", position);
        break;
    case TimeReport::OutOfRange:
        StatusOutput::writeError("Drop time: timestamp " + number(timestamp) + " is too far from the stream start "
                                 + number(baseTimestamp));
        break;
    case TimeReport::Skip:
        break;
    }
}

bool Framepump::acceptDescription(const WireFrame& frame)
{
    const WireFrame::Description description = frame.description();
    if (!setupVideo(description.videoCodec, description.width, description.height))
        return false;
    if (!setupAudio(description.audioCodec, description.sampleRate))
        return false;
    haveDescription = true;
    baseTimestamp = lastTimestamp = frame.timestamp;
    return true;
}

void Framepump::releaseVideo()
{
    if (videoDecoder)
        videoDecoder->release();
    if (converter)
        converter->release();
    videoDecoder = nullptr;
    converter = nullptr;
    decodedImage = std::vector<uint8_t>();
}

bool Framepump::setupVideo(int codec, int newWidth, int newHeight)
{
    releaseVideo();
    const QByteArray geometry = resolution(newWidth, newHeight);
    // The converter writes straight into the frame file: a picture that does not
    // fit it, or a file that is not mapped, must never reach it.
    if (!frameFits(newWidth, newHeight)) {
        StatusOutput::writeError("Picture of " + geometry + " does not fit the frame file of " + number(frameSize)
                                 + " bytes");
        return false;
    }
    videoDecoder = CodecDll_VideoDecoder(codec);
    if (!videoDecoder) {
        StatusOutput::writeError("Can't get new video decoder instance for vcodec: " + number(codec));
        return false;
    }
    const unsigned colorspace = videoDecoder->outputColorspace();
    converter = CodecDll_ColorspaceConverter(colorspace, unsigned(newWidth), unsigned(newHeight), 32, 0, 0);
    if (!converter) {
        StatusOutput::writeError("Can't get new video colorspace converter instance for colospace: "
                                 + number(colorspace));
        releaseVideo();
        return false;
    }
    if (!videoDecoder->setup(colorspace, newWidth, newHeight)) {
        StatusOutput::writeError("Can't setup video decoder for colospace: " + number(colorspace)
                                 + ", resolution: " + geometry);
        releaseVideo();
        return false;
    }
    const int size = converter->decodedImageSize();
    if (size <= 0) {
        StatusOutput::writeError("Can't calculate decoded image size for colorspace: " + number(colorspace)
                                 + ", resolution: " + geometry);
        releaseVideo();
        return false;
    }
    decodedImage.resize(size_t(size));
    width = newWidth;
    height = newHeight;
    videoCodec = codec;
    StatusOutput::writeLine("size", width, height);
    return true;
}

void Framepump::decodeVideo(const WireFrame& frame)
{
    if (frame.width != width || frame.height != height || !videoDecoder) {
        StatusOutput::writeError("Image frame has resolution: " + resolution(width, height)
                                 + ", but new one have: " + resolution(frame.width, frame.height));
        if (!setupVideo(videoCodec, frame.width, frame.height)) {
            StatusOutput::writeError("Can't reset video module");
            sendError();
            return;
        }
    }
    const int result = videoDecoder->decode(reinterpret_cast<const uint8_t*>(frame.video), int(frame.videoLength),
                                            decodedImage.data());
    if (result != CodecDll::ResultOk) {
        StatusOutput::writeError("Can't decode image frame, result: " + number(result));
        if (result != CodecDll::ResultNoPicture)
            sendError();
        return;
    }
    converter->convert(decodedImage.data(), StreamBase::frame);
    StatusOutput::writeLine(QByteArrayLiteral("frame"));
}

bool Framepump::setupAudio(int codec, int sampleRate)
{
    if (audioDecoder)
        audioDecoder->release();
    audioDecoder = nullptr;
    if (audioOutput) {
        audioOutput->stop();
        delete audioOutput;
    }
    audioDevice = nullptr;
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setSampleSize(sampleBits);
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setSampleType(QAudioFormat::SignedInt);
    audioOutput = new QAudioOutput(format, this);
    audioDevice = audioOutput->start();
    // Without a sound device start() gives no device; the picture goes on silently.
    audioReady = audioOutput->error() == QAudio::NoError && audioDevice;
    if (!audioReady)
        StatusOutput::writeError("Error while open audio device: " + number(audioOutput->error())
                                 + ", audio state: " + number(audioOutput->state()));
    audioDecoder = CodecDll_AudioDecoder(codec);
    if (!audioDecoder) {
        StatusOutput::writeError("Can't get new audio decoder instance for acodec: " + number(codec));
        return false;
    }
    int outputFormat = 0;
    if (!audioDecoder->setup(channels, sampleRate, &outputFormat, 0, 0)) {
        StatusOutput::writeError("Can't setup video decoder for channels count: " + number(channels)
                                 + ", sample rate: " + number(sampleRate));
        return false;
    }
    return true;
}

void Framepump::decodeAudio(const WireFrame& frame)
{
    int flags = -1;
    int length = -1;
    const int result = audioDecoder->decode(reinterpret_cast<const uint8_t*>(frame.audio), int(frame.audioLength),
                                            audioBuffer.data(), audioBufferSize, &flags, &length);
    if (result != CodecDll::ResultOk) {
        StatusOutput::writeError("Can't decode audio frame, result: " + number(result));
        return;
    }
    audioOutput->setVolume(volume.load());
    if (audioDevice && length > 0)
        audioDevice->write(reinterpret_cast<const char*>(audioBuffer.data()), qMin(length, audioBufferSize));
}

} // namespace VLC
