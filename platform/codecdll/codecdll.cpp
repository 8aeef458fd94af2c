#include "codecdll.h"

#include "audiodecoder.h"
#include "colorspaceconverter.h"
#include "videodecoder.h"

using namespace CodecDll;

// The stand-in keeps no global state; create and destroy only mark the library's
// lifetime for its callers.
void CodecDll_Create()
{
}

void CodecDll_Destroy()
{
}

IVideoDecoder* CodecDll_VideoDecoder(int codec)
{
    return VideoDecoder::knows(codec) ? new VideoDecoder(codec) : nullptr;
}

IColorspaceConverter* CodecDll_ColorspaceConverter(unsigned colorspace, unsigned width, unsigned height,
                                                   unsigned bitsPerPixel, unsigned, unsigned)
{
    return ColorspaceConverter::create(colorspace, width, height, bitsPerPixel);
}

IAudioDecoder* CodecDll_AudioDecoder(int codec)
{
    return AudioDecoder::knows(codec) ? new AudioDecoder(codec) : nullptr;
}
