#include "i420converter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace CodecDll {

namespace {

// BT.601 limited range in 8.8 fixed point:
//   R = 1.164 (Y-16) + 1.596 (V-128)
//   G = 1.164 (Y-16) - 0.391 (U-128) - 0.813 (V-128)
//   B = 1.164 (Y-16) + 2.018 (U-128)
constexpr int kY = 298, kRV = 409, kGU = 100, kGV = 208, kBU = 516;

inline uint32_t clamp8(int v)
{
    return uint32_t(std::min(std::max(v, 0), 255));
}

inline uint32_t pixel(int luma, int r, int g, int b)
{
    const int c = kY * (luma - 16);
    return 0xFF000000u | clamp8((c + r) >> 8) << 16 | clamp8((c + g) >> 8) << 8 | clamp8((c + b) >> 8);
}

// One chroma row's worth of chroma terms, computed once for both luma rows. The
// loops are plain counted loops over contiguous arrays so that gcc vectorises them;
// the clones let it use AVX2 where the processor has it.
__attribute__((target_clones("avx2", "default")))
void chromaTerms(const uint8_t* u, const uint8_t* v, int count, int* r, int* g, int* b)
{
    for (int i = 0; i < count; ++i) {
        const int d = u[i] - 128, e = v[i] - 128;
        r[i] = kRV * e + 128;
        g[i] = -kGU * d - kGV * e + 128;
        b[i] = kBU * d + 128;
    }
}

__attribute__((target_clones("avx2", "default")))
void lumaRow(const uint8_t* y, int pairs, const int* r, const int* g, const int* b, uint32_t* out)
{
    for (int i = 0; i < pairs; ++i) {
        out[2 * i] = pixel(y[2 * i], r[i], g[i], b[i]);
        out[2 * i + 1] = pixel(y[2 * i + 1], r[i], g[i], b[i]);
    }
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
    thread_local std::vector<int> terms;
    terms.resize(size_t(chromaWidth) * 3);
    int* r = terms.data();
    int* g = r + chromaWidth;
    int* b = g + chromaWidth;
    const int pairs = width / 2;
    for (int row = 0; row < height; ++row) {
        if (row % 2 == 0)
            chromaTerms(uPlane + int64_t(row / 2) * chromaWidth, vPlane + int64_t(row / 2) * chromaWidth, chromaWidth,
                        r, g, b);
        const uint8_t* y = yPlane + int64_t(row) * width;
        // The destination is the shared frame file, whose rows need not be aligned.
        uint32_t* out = reinterpret_cast<uint32_t*>(bgra + int64_t(row) * width * 4);
        lumaRow(y, pairs, r, g, b, out);
        if (width % 2)
            out[width - 1] = pixel(y[width - 1], r[pairs], g[pairs], b[pairs]);
    }
}

} // namespace CodecDll
