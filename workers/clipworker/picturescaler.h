#pragma once

#include <QSize>

#include <cstdint>
#include <vector>

struct SwsContext;

namespace VLC {

// Holds the picture libvlc decodes (planar YUV 4:2:0, in memory of our own) and
// draws it into the frame file as 32-bit pixels at the size the viewer needs.
// A cell far smaller than the stream then reads and paints a small picture
// instead of scaling a large one on the GUI thread, and the same picture shown
// again (libvlc repeats the last one while paused or between slow frames) is
// recognised and not announced again.
class PictureScaler
{
public:
    PictureScaler();
    ~PictureScaler();

    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;

    // Lays out the buffer for a source picture; fills libvlc's three pitches and
    // line counts. False for an empty size.
    bool setSource(QSize size, unsigned* pitches, unsigned* lines);
    QSize source() const { return m_source; }
    void planes(void** planes);

    // True unless the buffer holds the same picture as at the last call.
    bool takeNewPicture();

    // Converts the buffer into 4-byte BGRX pixels of the given size (at most the
    // source's), rows packed. False when the conversion could not be set up.
    bool render(unsigned char* destination, QSize size);

    // The smallest size of the source's shape that still covers the box, never
    // larger than the source itself. An empty box asks for the source's size.
    static QSize fittedSize(QSize source, QSize box);

private:
    QSize m_source;
    int m_lumaPitch = 0;
    int m_chromaPitch = 0;
    int m_chromaLines = 0;
    std::vector<unsigned char> m_buffer;
    std::uint64_t m_lastHash = 0;
    bool m_hasHash = false;
    SwsContext* m_context = nullptr;
};

} // namespace VLC
