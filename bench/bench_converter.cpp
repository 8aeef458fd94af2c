// Colour conversion I420 -> BGRA: the codec library's converter beside libswscale's
// unscaled path on the same frames. Prints nanoseconds per megapixel.
#include "codecdll.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A picture with detail in every plane, so that no branch is always taken.
std::vector<uint8_t> makeFrame(int width, int height)
{
    const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    std::vector<uint8_t> frame(size_t(width) * height + 2 * size_t(chromaWidth) * chromaHeight);
    uint32_t seed = 12345;
    for (auto& byte : frame) {
        seed = seed * 1103515245u + 12345u;
        byte = uint8_t(seed >> 16);
    }
    return frame;
}

template<typename Convert>
double nanosecondsPerMegapixel(int width, int height, int rounds, Convert convert)
{
    convert(); // warm caches and lazy set-up
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i)
        convert();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return seconds * 1e9 / (double(rounds) * width * height / 1e6);
}

} // namespace

int main(int argc, char* argv[])
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 300;
    std::printf("%-10s %16s %16s %8s\n", "size", "CodecDll ns/MP", "sws_scale ns/MP", "ratio");
    for (const auto& size : {std::pair{640, 480}, std::pair{1280, 720}, std::pair{1920, 1080}}) {
        // Plain variables: clang before C++20 cannot capture a structured binding in a lambda.
        const int width = size.first, height = size.second;
        const std::vector<uint8_t> i420 = makeFrame(width, height);
        std::vector<uint8_t> bgra(size_t(width) * height * 4);

        CodecDll::IColorspaceConverter* converter = CodecDll_ColorspaceConverter(
            CodecDll::ColorspaceI420, unsigned(width), unsigned(height), 32, 0, 0);
        const double ours = nanosecondsPerMegapixel(width, height, rounds,
                                                    [&] { converter->convert(i420.data(), bgra.data()); });
        converter->release();

        SwsContext* sws = sws_getContext(width, height, AV_PIX_FMT_YUV420P, width, height, AV_PIX_FMT_BGRA,
                                         SWS_POINT, nullptr, nullptr, nullptr);
        const int chromaWidth = (width + 1) / 2;
        const uint8_t* planes[3] = {i420.data(), i420.data() + size_t(width) * height,
                                    i420.data() + size_t(width) * height + size_t(chromaWidth) * ((height + 1) / 2)};
        const int strides[3] = {width, chromaWidth, chromaWidth};
        uint8_t* destination[1] = {bgra.data()};
        const int destinationStride[1] = {width * 4};
        const double theirs = nanosecondsPerMegapixel(width, height, rounds, [&] {
            sws_scale(sws, planes, strides, 0, height, destination, destinationStride);
        });
        sws_freeContext(sws);

        char sizeText[32];
        std::snprintf(sizeText, sizeof sizeText, "%dx%d", width, height);
        std::printf("%-10s %16.0f %16.0f %8.2f\n", sizeText, ours, theirs, ours / theirs);
    }
    std::printf("(ratio = CodecDll / sws_scale; target: at most 300000 ns per megapixel)\n");
    return 0;
}
