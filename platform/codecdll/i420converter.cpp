#include "i420converter.h"

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

// Two luma rows share one chroma row: each chroma sample's terms are computed once
// and used for its 2x2 block. A plain counted loop that gcc vectorises; the clones
// let it use AVX2 where the processor has it.
__attribute__((target_clones("avx2", "default")))
void rowPair(const uint8_t* __restrict y0, const uint8_t* __restrict y1, const uint8_t* __restrict u,
             const uint8_t* __restrict v, int pairs, uint16_t* __restrict out0, uint16_t* __restrict out1)
{
    for (int i = 0; i < pairs; ++i) {
        const int16_t d = int16_t(u[i] - 128), e = int16_t(v[i] - 128);
        const int16_t r = redTerm(e), g = greenTerm(d, e), b = blueTerm(d);
        pixel(lumaTerm(y0[2 * i]), r, g, b, out0 + 4 * i);
        pixel(lumaTerm(y0[2 * i + 1]), r, g, b, out0 + 4 * i + 2);
        pixel(lumaTerm(y1[2 * i]), r, g, b, out1 + 4 * i);
        pixel(lumaTerm(y1[2 * i + 1]), r, g, b, out1 + 4 * i + 2);
    }
}

// The odd last column or row, one pixel at a time.
void edgePixel(uint8_t y, uint8_t u, uint8_t v, uint16_t* out)
{
    const int16_t d = int16_t(u - 128), e = int16_t(v - 128);
    pixel(lumaTerm(y), redTerm(e), greenTerm(d, e), blueTerm(d), out);
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
    // Rows of the frame file start at multiples of 4 bytes.
    uint16_t* pixels = reinterpret_cast<uint16_t*>(bgra);
    const int pairs = width / 2;
    for (int row = 0; row < height; row += 2) {
        const int64_t chromaRow = int64_t(row / 2) * chromaWidth;
        const uint8_t* u = uPlane + chromaRow;
        const uint8_t* v = vPlane + chromaRow;
        const uint8_t* y0 = yPlane + int64_t(row) * width;
        uint16_t* out0 = pixels + int64_t(row) * width * 2;
        // An odd last row pairs with itself; its second write is the same pixels.
        const bool lastOddRow = row + 1 == height;
        const uint8_t* y1 = lastOddRow ? y0 : y0 + width;
        uint16_t* out1 = lastOddRow ? out0 : out0 + int64_t(width) * 2;
        rowPair(y0, y1, u, v, pairs, out0, out1);
        if (width % 2) {
            edgePixel(y0[width - 1], u[pairs], v[pairs], out0 + int64_t(width - 1) * 2);
            edgePixel(y1[width - 1], u[pairs], v[pairs], out1 + int64_t(width - 1) * 2);
        }
    }
}

} // namespace CodecDll
