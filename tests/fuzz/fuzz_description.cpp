// framepump's stream description: the JSON text of a service frame, read into the
// values framepump sets the codec library up with, and that set-up itself.
#include "fuzzsupport.h"

#include "codecdll.h"
#include "wireframe.h"

using namespace VLC;

namespace {

WireFrame::Description describe(const QByteArray& frameBytes)
{
    WireFrame frame;
    FUZZ_CHECK(frame.parse(frameBytes));
    FUZZ_CHECK(frame.isServiceFrame());
    return frame.description();
}

bool operator==(const WireFrame::Description& a, const WireFrame::Description& b)
{
    return a.videoCodec == b.videoCodec && a.audioCodec == b.audioCodec && a.sampleRate == b.sampleRate
        && a.width == b.width && a.height == b.height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const WireFrame::Description read = describe(WireFrame::compose(1, 666, 666, 0, Fuzz::bytes(data, size)));
    // What was read is what a server that means it would have sent.
    FUZZ_CHECK(read == describe(WireFrame::composeDescription(read.videoCodec, read.audioCodec, read.sampleRate,
                                                              read.width, read.height, 0)));

    if (CodecDll::IVideoDecoder* video = CodecDll_VideoDecoder(read.videoCodec)) {
        const unsigned colorspace = video->outputColorspace();
        CodecDll::IColorspaceConverter* converter = CodecDll_ColorspaceConverter(
            colorspace, unsigned(read.width), unsigned(read.height), 32, 0, 0);
        const bool ready = video->setup(colorspace, read.width, read.height);
        // Decoder and converter agree on which pictures they take, and a picture
        // they take has a decoded size that an int holds.
        FUZZ_CHECK(ready == (converter != nullptr));
        if (converter) {
            FUZZ_CHECK(converter->decodedImageSize() > 0);
            converter->release();
        }
        video->release();
    }
    if (CodecDll::IAudioDecoder* audio = CodecDll_AudioDecoder(read.audioCodec)) {
        int format = 0;
        FUZZ_CHECK(audio->setup(1, read.sampleRate, &format, 0, 0) == (read.sampleRate > 0));
        audio->release();
    }
    return 0;
}
