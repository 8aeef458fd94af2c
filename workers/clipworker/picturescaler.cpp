#include "picturescaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace VLC {

namespace {

constexpr int alignment = 64;

int aligned(int value)
{
    return (value + alignment - 1) / alignment * alignment;
}

// Four independent lanes keep the multiplications from waiting on each other: a
// whole 640x480 picture takes well under a tenth of a millisecond.
std::uint64_t hashOf(const unsigned char* data, size_t size)
{
    std::uint64_t lanes[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull,
                              0x27D4EB2F165667C5ull};
    constexpr std::uint64_t prime = 0x100000001B3ull;
    size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        for (int lane = 0; lane < 4; ++lane) {
            std::uint64_t word;
            std::memcpy(&word, data + i + 8 * lane, 8);
            lanes[lane] = (lanes[lane] ^ word) * prime;
            lanes[lane] ^= lanes[lane] >> 29;
        }
    }
    std::uint64_t hash = lanes[0] ^ (lanes[1] << 1) ^ (lanes[2] << 2) ^ (lanes[3] << 3);
    for (; i < size; ++i)
        hash = (hash ^ data[i]) * prime;
    return hash;
}

} // namespace

PictureScaler::PictureScaler() = default;

PictureScaler::~PictureScaler()
{
    sws_freeContext(m_context);
}

bool PictureScaler::setSource(QSize size, unsigned* pitches, unsigned* lines)
{
    if (size.isEmpty())
        return false;
    m_source = size;
    m_lumaPitch = aligned(size.width());
    m_chromaPitch = aligned((size.width() + 1) / 2);
    m_chromaLines = (size.height() + 1) / 2;
    m_buffer.assign(size_t(m_lumaPitch) * size_t(size.height()) + 2 * size_t(m_chromaPitch) * size_t(m_chromaLines), 0);
    m_hasHash = false;
    pitches[0] = unsigned(m_lumaPitch);
    pitches[1] = pitches[2] = unsigned(m_chromaPitch);
    lines[0] = unsigned(size.height());
    lines[1] = lines[2] = unsigned(m_chromaLines);
    return true;
}

void PictureScaler::planes(void** planes)
{
    unsigned char* luma = m_buffer.data();
    planes[0] = luma;
    planes[1] = luma + size_t(m_lumaPitch) * size_t(m_source.height());
    planes[2] = static_cast<unsigned char*>(planes[1]) + size_t(m_chromaPitch) * size_t(m_chromaLines);
}

bool PictureScaler::takeNewPicture()
{
    const std::uint64_t hash = hashOf(m_buffer.data(), m_buffer.size());
    const bool isNew = !m_hasHash || hash != m_lastHash;
    m_lastHash = hash;
    m_hasHash = true;
    return isNew;
}

bool PictureScaler::render(unsigned char* destination, QSize size)
{
    if (m_buffer.empty() || size.isEmpty() || size.width() > m_source.width() || size.height() > m_source.height())
        return false;
    // Bilinear widens its filter with the reduction, so small cells show no
    // aliasing; at the source's size it is a plain colour conversion.
    m_context = sws_getCachedContext(m_context, m_source.width(), m_source.height(), AV_PIX_FMT_YUV420P, size.width(),
                                     size.height(), AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_context)
        return false;
    void* sourcePlanes[3];
    planes(sourcePlanes);
    const uint8_t* const source[4] = {static_cast<uint8_t*>(sourcePlanes[0]), static_cast<uint8_t*>(sourcePlanes[1]),
                                      static_cast<uint8_t*>(sourcePlanes[2]), nullptr};
    const int sourceStrides[4] = {m_lumaPitch, m_chromaPitch, m_chromaPitch, 0};
    uint8_t* const target[4] = {destination, nullptr, nullptr, nullptr};
    const int targetStrides[4] = {size.width() * 4, 0, 0, 0};
    return sws_scale(m_context, source, sourceStrides, 0, m_source.height(), target, targetStrides) > 0;
}

QSize PictureScaler::fittedSize(QSize source, QSize box)
{
    if (source.isEmpty() || box.isEmpty() || (box.width() >= source.width() && box.height() >= source.height()))
        return source;
    const double scale = std::max(double(box.width()) / source.width(), double(box.height()) / source.height());
    if (scale >= 1.0)
        return source;
    // Rounded up, so the picture is never a pixel short of the box it fills.
    const auto side = [scale](int length) {
        return std::clamp(int(std::ceil(length * scale - 1e-6)), 1, length);
    };
    return QSize(side(source.width()), side(source.height()));
}

} // namespace VLC
