#pragma once

#include <QtGlobal>

namespace OrvantaClient::GUI {

// How the hour scale of the timeline is divided for a given number of labels
// that fit and a given visible span: the finer the zoom, the finer the ticks.
struct TimelineScale
{
    int labelSecs = 3600;
    int tickSecs = 600;
    int longEvery = 6;   // ticks
    int middleEvery = 3; // ticks; 0 for none
    int labelEvery = 6;  // ticks

    // labelsFit: how many labels fit on the axis; spanSecs: the visible span.
    static TimelineScale choose(int labelsFit, qint64 spanSecs);
    // Tick length in pixels for tick number i.
    int tickLength(int i) const;
    bool isLabelled(int i) const { return i % labelEvery == 0; }
    // "HH:mm" while labels come more often than hourly, "HH" otherwise.
    const char* labelFormat() const { return labelSecs < 3600 ? "HH:mm" : "HH"; }

    bool operator==(const TimelineScale& o) const
    {
        return labelSecs == o.labelSecs && tickSecs == o.tickSecs && longEvery == o.longEvery
               && middleEvery == o.middleEvery && labelEvery == o.labelEvery;
    }
};

} // namespace OrvantaClient::GUI
