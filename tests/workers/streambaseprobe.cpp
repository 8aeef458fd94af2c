// A minimal worker over the shared base: it reports every command the base hands
// on and whether the frame file was mapped, so that the base is seen from outside.
#include "statusoutput.h"
#include "streambase.h"

class Probe : public VLC::StreamBase
{
public:
    using StreamBase::StreamBase;

    void setPaused(bool paused) override { VLC::StatusOutput::writeLine("paused", paused ? 1 : 0); }
    void setVolume(int volume) override { VLC::StatusOutput::writeLine("volume", volume); }
    void setFit(int width, int height) override { VLC::StatusOutput::writeLine("fit", width, height); }
    void report() const { VLC::StatusOutput::writeLine("mapped", frame ? frameSize : -1); }
};

int main(int argc, char* argv[])
{
    Probe probe(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
    probe.report();
    probe.readCommands();
}
