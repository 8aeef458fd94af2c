// The status lines of the workers as watchdesk reads them from their standard
// output, in reads cut wherever the pipe cuts them.
#include "fuzzsupport.h"

#include "player/framefile.h"
#include "player/statusreader.h"

using namespace OrvantaClient::GUI::Player;

namespace {

StatusBatch readInPieces(const QByteArray& output, int piece)
{
    StatusReader reader(FrameFile::capacity);
    StatusBatch all;
    for (int at = 0; at < output.size(); at += piece) {
        const StatusBatch batch = reader.read(output.mid(at, piece));
        all.events += batch.events;
        all.frames += batch.frames;
    }
    return all;
}

bool same(const StatusEvent& a, const StatusEvent& b)
{
    return a.kind == b.kind && a.time == b.time && a.dateTime == b.dateTime && a.state == b.state
        && a.width == b.width && a.height == b.height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const QByteArray output = Fuzz::bytes(data, size);
    const StatusBatch whole = readInPieces(output, qMax(1, output.size()));
    for (const StatusEvent& event : whole.events) {
        if (event.kind == StatusEvent::Time)
            FUZZ_CHECK(event.time > 0);
        if (event.kind == StatusEvent::Size)
            FUZZ_CHECK(event.width > 0 && event.height > 0
                       && qint64(event.width) * event.height * 4 <= FrameFile::capacity);
    }
    // Where the pipe cuts the output changes nothing, as long as the output is
    // text (a NUL ends the text of its read) and no unfinished line is overlong.
    if (output.contains('\0') || output.size() > StatusReader::maximumPendingBytes)
        return 0;
    const StatusBatch pieces = readInPieces(output, 1 + int(size % 7));
    FUZZ_CHECK(pieces.frames == whole.frames);
    FUZZ_CHECK(pieces.events.size() == whole.events.size());
    for (int i = 0; i < whole.events.size(); ++i)
        FUZZ_CHECK(same(pieces.events.at(i), whole.events.at(i)));
    return 0;
}
