#include "audiodecoder.h"

#include <cstring>

namespace CodecDll {

AudioDecoder::AudioDecoder(int codec)
    : codec(codec)
{
}

bool AudioDecoder::knows(int codec)
{
    return codec == AudioCodecPcm16 || codec == AudioCodecMuLaw || codec == AudioCodecALaw;
}

void AudioDecoder::release()
{
    delete this;
}

bool AudioDecoder::setup(int channels, int sampleRate, int* outputFormat, int, int)
{
    ready = channels == 1 && sampleRate > 0;
    if (ready && outputFormat)
        *outputFormat = 16; // bits per output sample
    return ready;
}

int16_t AudioDecoder::expandMuLaw(uint8_t code)
{
    code = uint8_t(~code);
    const int exponent = (code >> 4) & 0x07;
    const int magnitude = (((code & 0x0F) << 3) + 0x84) << exponent;
    return int16_t((code & 0x80) ? 0x84 - magnitude : magnitude - 0x84);
}

int16_t AudioDecoder::expandALaw(uint8_t code)
{
    code ^= 0x55;
    const int exponent = (code >> 4) & 0x07;
    int magnitude = (code & 0x0F) << 4;
    magnitude = exponent == 0 ? magnitude + 8 : (magnitude + 0x108) << (exponent - 1);
    return int16_t((code & 0x80) ? magnitude : -magnitude);
}

int AudioDecoder::decode(const uint8_t* payload, int length, uint8_t* output, int capacity, int*, int* outputLength)
{
    if (outputLength)
        *outputLength = 0;
    if (!ready || !payload || !output || length <= 0)
        return ResultFailed;
    if (codec == AudioCodecPcm16) {
        if (length % 2 || length > capacity)
            return ResultFailed;
        std::memcpy(output, payload, size_t(length));
        if (outputLength)
            *outputLength = length;
        return ResultOk;
    }
    if (int64_t(length) * 2 > capacity)
        return ResultFailed;
    for (int i = 0; i < length; ++i) {
        const int16_t sample = codec == AudioCodecMuLaw ? expandMuLaw(payload[i]) : expandALaw(payload[i]);
        output[2 * i] = uint8_t(sample & 0xFF);
        output[2 * i + 1] = uint8_t((sample >> 8) & 0xFF);
    }
    if (outputLength)
        *outputLength = length * 2;
    return ResultOk;
}

} // namespace CodecDll
