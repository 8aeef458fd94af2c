#pragma once

// The codec library's interface as framepump calls it. Objects are created by the
// factory functions and freed with their release(); unknown ids give null.
//
// Numbering:
//   video codec 1: raw BGRA (output colour space 1); 2: raw I420 (colour space 2)
//   audio codec 1: PCM 16-bit LE mono; 2: G.711 mu-law; 3: G.711 A-law
//   decode results: 0 success, 1 failure, 3 no picture yet (a one-byte payload)

#include <cstdint>

#if defined(CODECDLL_BUILD)
#define CODECDLL_EXPORT __attribute__((visibility("default")))
#else
#define CODECDLL_EXPORT
#endif

namespace CodecDll {

enum VideoCodec : int { VideoCodecBgra = 1, VideoCodecI420 = 2 };
enum Colorspace : unsigned { ColorspaceBgra = 1, ColorspaceI420 = 2 };
enum AudioCodec : int { AudioCodecPcm16 = 1, AudioCodecMuLaw = 2, AudioCodecALaw = 3 };
enum Result : int { ResultOk = 0, ResultFailed = 1, ResultNoPicture = 3 };

class IVideoDecoder
{
public:
    virtual void release() = 0;
    virtual unsigned outputColorspace() const = 0;
    virtual bool setup(unsigned colorspace, int width, int height) = 0;
    virtual int decode(const uint8_t* payload, int length, uint8_t* output) = 0;

protected:
    virtual ~IVideoDecoder() = default;
};

class IColorspaceConverter
{
public:
    virtual void release() = 0;
    // Size in bytes of the decoder output that convert() reads.
    virtual int decodedImageSize() const = 0;
    // Writes width x height 32-bit pixels (bytes B, G, R, A) to destination.
    virtual void convert(const uint8_t* decoded, uint8_t* destination) = 0;

protected:
    virtual ~IColorspaceConverter() = default;
};

class IAudioDecoder
{
public:
    virtual void release() = 0;
    virtual bool setup(int channels, int sampleRate, int* outputFormat, int reserved1, int reserved2) = 0;
    // Decodes into 16-bit signed little-endian mono PCM; *outputLength receives the
    // bytes written. Output that would not fit the capacity fails the call.
    virtual int decode(const uint8_t* payload, int length, uint8_t* output, int capacity, int* flags,
                       int* outputLength) = 0;

protected:
    virtual ~IAudioDecoder() = default;
};

} // namespace CodecDll

extern "C" {
CODECDLL_EXPORT void CodecDll_Create();
CODECDLL_EXPORT void CodecDll_Destroy();
CODECDLL_EXPORT CodecDll::IVideoDecoder* CodecDll_VideoDecoder(int codec);
CODECDLL_EXPORT CodecDll::IColorspaceConverter* CodecDll_ColorspaceConverter(unsigned colorspace, unsigned width,
                                                                             unsigned height, unsigned bitsPerPixel,
                                                                             unsigned reserved1, unsigned reserved2);
CODECDLL_EXPORT CodecDll::IAudioDecoder* CodecDll_AudioDecoder(int codec);
}
