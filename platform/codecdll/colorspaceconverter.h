#pragma once

#include "codecdll.h"

namespace CodecDll {

class ColorspaceConverter : public IColorspaceConverter
{
public:
    // Null for an unknown colour space, an unsupported output depth or a geometry
    // outside 1..VideoDecoder::maximumSide.
    static ColorspaceConverter* create(unsigned colorspace, unsigned width, unsigned height, unsigned bitsPerPixel);

    void release() override;
    int decodedImageSize() const override;
    void convert(const uint8_t* decoded, uint8_t* destination) override;

private:
    ColorspaceConverter(unsigned colorspace, int width, int height);

    unsigned colorspace;
    int width;
    int height;
};

} // namespace CodecDll
