// The command reader of both workers: what watchdesk writes to their standard input.
#include "fuzzsupport.h"

#include "streambase.h"

#include <sstream>

using namespace VLC;

namespace {

class Recorder : public StreamBase
{
public:
    // No frame file: the command reader does not need one.
    Recorder() : StreamBase(QStringLiteral("fuzz-without-frame-file")) {}

    void setPaused(bool) override { ++calls; }
    void setVolume(int) override { ++calls; }

    int calls = 0;
};

// The commands a line is, as the parent means them: pause, unpause, and volume
// with a value.
int commandsIn(const QByteArray& line)
{
    if (line.size() > int(StreamBase::maximumCommandLength))
        return 0;
    if (line == "pause" || line == "unpause")
        return 1;
    return line.startsWith("volume") && line.contains(' ') ? 1 : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    static Recorder* recorder = new Recorder;
    // Its keep-alive watchdog ends the process without pings.
    recorder->dispatchCommand(QStringLiteral("ping"));
    recorder->calls = 0;
    const QByteArray input = Fuzz::bytes(data, size);
    std::istringstream in(input.toStdString());
    recorder->readCommandLines(in);

    QList<QByteArray> lines = input.split('\n');
    if (input.endsWith('\n'))
        lines.removeLast();
    int expected = 0;
    for (const QByteArray& line : qAsConst(lines))
        expected += commandsIn(line);
    FUZZ_CHECK(recorder->calls == expected);
    return 0;
}
