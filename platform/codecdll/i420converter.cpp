#include "i420converter.h"

#include <cstddef>
#include <vector>

namespace CodecDll {

namespace {

// BT.601 limited range:
//   R = 1.164 (Y-16) + 1.596 (V-128)
//   G = 1.164 (Y-16) - 0.391 (U-128) - 0.813 (V-128)
//   B = 1.164 (Y-16) + 2.018 (U-128)
// in fixed point with 5 fraction bits, arranged so that every intermediate fits
// 16 bits: 16-bit lanes give twice the pixels per vector instruction of 32-bit
// ones. The luma term is Y * 149/4 = Y * 37.25, 1.164 * 32 to within 0.01
// (Y * 149 fits an unsigned 16-bit lane); the chroma terms come from 8.8 coefficients (409, 100,
// 208, 516) shifted down by 3, with the rounding of the final shift folded in.
inline int16_t lumaTerm(uint8_t y)
{
    return int16_t(uint16_t(y * 149) >> 2) - 596; // 596 = 16 * 149 / 4
}

// The chroma terms (409 e + 128) >> 3, (-100 d - 208 e + 128) >> 3 and
// (516 d + 128) >> 3, split so that no product leaves 16 bits: with
// 409 = 8 * 51 + 1, 100 = 8 * 12 + 4 and 516 = 8 * 64 + 4 the results are exact.
inline int16_t redTerm(int16_t e)
{
    return int16_t(e * 51 + ((e + 128) >> 3));
}

inline int16_t greenTerm(int16_t d, int16_t e)
{
    return int16_t(-12 * d - 26 * e + ((128 - 4 * d) >> 3));
}

inline int16_t blueTerm(int16_t d)
{
    return int16_t(d * 64 + ((4 * d + 128) >> 3));
}

inline uint8_t clamp8(int v)
{
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// A pixel as two 16-bit halves (blue and green, red and alpha): stored as 16-bit
// words, which gcc interleaves with cheap unpacks rather than widening to 32 bits.
inline void pixel(int16_t c, int16_t r, int16_t g, int16_t b, uint16_t* out)
{
    out[0] = uint16_t(clamp8(int16_t(c + b) >> 5) | clamp8(int16_t(c + g) >> 5) << 8);
    out[1] = uint16_t(clamp8(int16_t(c + r) >> 5) | 0xFF00);
}

// Both loops below are plain counted loops over contiguous arrays, which gcc
// vectorises; the clones let it use AVX2 where the processor has it.
//
// Chroma terms for every pixel of a row pair: each sample's terms, computed once,
// stand twice, so that the row loop needs no odd/even shuffling of luma.
__attribute__((target_clones("avx2", "default")))
void chromaTerms(const uint8_t* __restrict u, const uint8_t* __restrict v, int count, int16_t* __restrict r,
                 int16_t* __restrict g, int16_t* __restrict b)
{
    for (int i = 0; i < count; ++i) {
        const int16_t d = int16_t(u[i] - 128), e = int16_t(v[i] - 128);
        const int16_t rt = redTerm(e), gt = greenTerm(d, e), bt = blueTerm(d);
        r[2 * i] = r[2 * i + 1] = rt;
        g[2 * i] = g[2 * i + 1] = gt;
        b[2 * i] = b[2 * i + 1] = bt;
    }
}

__attribute__((target_clones("avx2", "default")))
void row(const uint8_t* __restrict y, int width, const int16_t* __restrict r, const int16_t* __restrict g,
         const int16_t* __restrict b, uint16_t* __restrict out)
{
    for (int x = 0; x < width; ++x)
        pixel(lumaTerm(y[x]), r[x], g[x], b[x], out + 2 * x);
}

} // namespace

int64_t I420Converter::planeSize(int width, int height)
{
    const int64_t chromaWidth = (int64_t(width) + 1) / 2, chromaHeight = (int64_t(height) + 1) / 2;
    return int64_t(width) * height + 2 * chromaWidth * chromaHeight;
}

void I420Converter::convert(const uint8_t* i420, int width, int height, uint8_t* bgra)
{
    const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    const uint8_t* yPlane = i420;
    const uint8_t* uPlane = yPlane + int64_t(width) * height;
    const uint8_t* vPlane = uPlane + int64_t(chromaWidth) * chromaHeight;
    thread_local std::vector<int16_t> terms;
    const size_t paddedWidth = size_t(chromaWidth) * 2;
    terms.resize(paddedWidth * 3);
    int16_t* r = terms.data();
    int16_t* g = r + paddedWidth;
    int16_t* b = g + paddedWidth;
    // Rows of the frame file start at multiples of 4 bytes.
    uint16_t* pixels = reinterpret_cast<uint16_t*>(bgra);
    for (int line = 0; line < height; ++line) {
        if (line % 2 == 0) {
            const int64_t chromaRow = int64_t(line / 2) * chromaWidth;
            chromaTerms(uPlane + chromaRow, vPlane + chromaRow, chromaWidth, r, g, b);
        }
        row(yPlane + int64_t(line) * width, width, r, g, b, pixels + int64_t(line) * width * 2);
    }
}

} // namespace CodecDll
