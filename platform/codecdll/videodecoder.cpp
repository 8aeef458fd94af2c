#include "videodecoder.h"

#include "i420converter.h"

#include <cstring>

namespace CodecDll {

VideoDecoder::VideoDecoder(int codec)
    : codec(codec)
{
}

bool VideoDecoder::knows(int codec)
{
    return codec == VideoCodecBgra || codec == VideoCodecI420;
}

void VideoDecoder::release()
{
    delete this;
}

unsigned VideoDecoder::outputColorspace() const
{
    return codec == VideoCodecBgra ? ColorspaceBgra : ColorspaceI420;
}

bool VideoDecoder::setup(unsigned colorspace, int width, int height)
{
    expectedLength = -1;
    if (colorspace != outputColorspace() || width <= 0 || height <= 0 || width > maximumSide || height > maximumSide)
        return false;
    expectedLength = codec == VideoCodecBgra ? int64_t(width) * height * 4 : I420Converter::planeSize(width, height);
    return true;
}

int VideoDecoder::decode(const uint8_t* payload, int length, uint8_t* output)
{
    if (length == 1)
        return ResultNoPicture;
    if (expectedLength < 0 || !payload || !output || length != expectedLength)
        return ResultFailed;
    std::memcpy(output, payload, size_t(length));
    return ResultOk;
}

} // namespace CodecDll
