#include "colorspaceconverter.h"

#include "i420converter.h"
#include "videodecoder.h"

#include <cstdint>
#include <cstring>

namespace CodecDll {

ColorspaceConverter::ColorspaceConverter(unsigned colorspace, int width, int height)
    : colorspace(colorspace)
    , width(width)
    , height(height)
{
}

ColorspaceConverter* ColorspaceConverter::create(unsigned colorspace, unsigned width, unsigned height,
                                                 unsigned bitsPerPixel)
{
    if (colorspace != ColorspaceBgra && colorspace != ColorspaceI420)
        return nullptr;
    if (bitsPerPixel != 32 || width == 0 || height == 0 || width > unsigned(VideoDecoder::maximumSide)
        || height > unsigned(VideoDecoder::maximumSide))
        return nullptr;
    return new ColorspaceConverter(colorspace, int(width), int(height));
}

void ColorspaceConverter::release()
{
    delete this;
}

int ColorspaceConverter::decodedImageSize() const
{
    const int64_t size
        = colorspace == ColorspaceBgra ? int64_t(width) * height * 4 : I420Converter::planeSize(width, height);
    return size > INT32_MAX ? 0 : int(size);
}

void ColorspaceConverter::convert(const uint8_t* decoded, uint8_t* destination)
{
    if (!decoded || !destination)
        return;
    if (colorspace == ColorspaceBgra)
        std::memcpy(destination, decoded, size_t(width) * size_t(height) * 4);
    else
        I420Converter::convert(decoded, width, height, destination);
}

} // namespace CodecDll
