#pragma once

#include "codecdll.h"

namespace CodecDll {

// Both video codecs carry raw pictures; decoding checks the payload against the
// geometry and copies it into the decoder output.
class VideoDecoder : public IVideoDecoder
{
public:
    explicit VideoDecoder(int codec);

    void release() override;
    unsigned outputColorspace() const override;
    bool setup(unsigned colorspace, int width, int height) override;
    int decode(const uint8_t* payload, int length, uint8_t* output) override;

    static bool knows(int codec);
    // Largest width or height any decoder or converter accepts.
    static constexpr int maximumSide = 16384;

private:
    int codec;
    int64_t expectedLength = -1;
};

} // namespace CodecDll
