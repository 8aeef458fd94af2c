#pragma once

#include <cstdint>

namespace CodecDll {

// I420 (full luma plane, then U and V planes of ceil(w/2) x ceil(h/2)) to BGRA with
// alpha 255, BT.601 limited range, integer arithmetic.
class I420Converter
{
public:
    static int64_t planeSize(int width, int height);
    static void convert(const uint8_t* i420, int width, int height, uint8_t* bgra);
};

} // namespace CodecDll
