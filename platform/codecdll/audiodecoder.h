#pragma once

#include "codecdll.h"

namespace CodecDll {

// PCM 16-bit passes through; G.711 mu-law and A-law expand one byte to one sample.
class AudioDecoder : public IAudioDecoder
{
public:
    explicit AudioDecoder(int codec);

    void release() override;
    bool setup(int channels, int sampleRate, int* outputFormat, int reserved1, int reserved2) override;
    int decode(const uint8_t* payload, int length, uint8_t* output, int capacity, int* flags,
               int* outputLength) override;

    static bool knows(int codec);
    static int16_t expandMuLaw(uint8_t code);
    static int16_t expandALaw(uint8_t code);

private:
    int codec;
    bool ready = false;
};

} // namespace CodecDll
