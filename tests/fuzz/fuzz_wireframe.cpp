// framepump's wire frames: the bytes that follow a local server's HTTP header, cut
// into frames by their length fields, parsed, and decoded through the codec library
// into a frame file the way framepump does it, the description first.
#include "fuzzsupport.h"

#include "codecdll.h"
#include "framepump.h"
#include "wireframe.h"

#include <QtEndian>

#include <memory>
#include <vector>

using namespace VLC;

namespace {

// Smaller than watchdesk's frame file, so that the fuzzer reaches its edge with
// pictures a few kilobytes long; the decoders must respect whatever size it has.
constexpr qint64 frameFileSize = 16 * 1024;
constexpr int audioCapacity = 1048576;

template<typename T>
struct Released
{
    void operator()(T* object) const { object->release(); }
};
template<typename T>
using Handle = std::unique_ptr<T, Released<T>>;

struct Pump
{
    Handle<CodecDll::IVideoDecoder> video;
    Handle<CodecDll::IColorspaceConverter> converter;
    Handle<CodecDll::IAudioDecoder> audio;
    std::vector<uint8_t> decoded;
    int width = -1;
    int height = -1;
    int codec = -1;

    bool setupVideo(int newCodec, int newWidth, int newHeight)
    {
        video.reset();
        converter.reset();
        // framepump's frameFits(): the frame file takes width x height 4-byte pixels.
        const qint64 pixels = frameFileSize / 4;
        if (newWidth <= 0 || newHeight <= 0 || newWidth > pixels || newHeight > pixels / newWidth)
            return false;
        video.reset(CodecDll_VideoDecoder(newCodec));
        if (!video)
            return false;
        converter.reset(CodecDll_ColorspaceConverter(video->outputColorspace(), unsigned(newWidth),
                                                     unsigned(newHeight), 32, 0, 0));
        if (!converter || !video->setup(video->outputColorspace(), newWidth, newHeight)) {
            video.reset();
            return false;
        }
        const int size = converter->decodedImageSize();
        if (size <= 0) {
            video.reset();
            return false;
        }
        decoded.assign(size_t(size), 0);
        width = newWidth;
        height = newHeight;
        codec = newCodec;
        return true;
    }

    bool describe(const WireFrame::Description& description)
    {
        if (!setupVideo(description.videoCodec, description.width, description.height))
            return false;
        audio.reset(CodecDll_AudioDecoder(description.audioCodec));
        int format = 0;
        return audio && audio->setup(1, description.sampleRate, &format, 0, 0);
    }

    void decode(const WireFrame& frame, uint8_t* frameFile, uint8_t* sound)
    {
        if (frame.videoLength > 0
            && ((frame.width == width && frame.height == height && video) || setupVideo(codec, frame.width, frame.height))
            && video->decode(reinterpret_cast<const uint8_t*>(frame.video), int(frame.videoLength), decoded.data())
                == CodecDll::ResultOk)
            converter->convert(decoded.data(), frameFile);
        if (frame.audioLength > 0) {
            int flags = -1;
            int length = -1;
            const int result = audio->decode(reinterpret_cast<const uint8_t*>(frame.audio), int(frame.audioLength),
                                             sound, audioCapacity, &flags, &length);
            FUZZ_CHECK(result != CodecDll::ResultOk || (length >= 0 && length <= audioCapacity));
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    // Exactly the sizes framepump maps and allocates, so that any write past
    // them is caught.
    static std::vector<uint8_t> frameFile(frameFileSize);
    static std::vector<uint8_t> sound(audioCapacity);
    const QByteArray stream = Fuzz::bytes(data, size);
    Pump pump;
    bool described = false;
    qint64 base = 0;
    qint64 last = 0;
    for (int at = 0; stream.size() - at >= WireFrame::prefixSize;) {
        const quint32 length = WireFrame::declaredLength(stream.constData() + at);
        if (!WireFrame::validLength(length))
            break; // framepump drops the connection
        const qint64 end = at + qint64(WireFrame::prefixSize) + length;
        if (end > stream.size())
            break; // the rest has not arrived
        const QByteArray bytes = stream.mid(at, int(end - at));
        at = int(end);
        WireFrame frame;
        if (!frame.parse(bytes) || frame.command != 1)
            continue;
        FUZZ_CHECK(frame.video >= bytes.constData() && frame.audio >= frame.video + frame.videoLength
                   && frame.audio + frame.audioLength <= bytes.constData() + bytes.size());
        if (frame.isServiceFrame()) {
            if (!described && (described = pump.describe(frame.description())))
                base = last = frame.timestamp;
        } else if (described) {
            pump.decode(frame, frameFile.data(), sound.data());
            // The time line states a position watchdesk takes: exact and positive.
            qint64 position = 0;
            if (Framepump::timeReport(frame.timestamp, base, &last, &position) == Framepump::TimeReport::Report)
                FUZZ_CHECK(position > 0 && __int128(position) == __int128(frame.timestamp) - base);
        }
    }
    return 0;
}
