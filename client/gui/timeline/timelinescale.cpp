#include "timelinescale.h"

namespace OrvantaClient::GUI {

TimelineScale TimelineScale::choose(int labelsFit, qint64 spanSecs)
{
    const double n = labelsFit;
    const double h = spanSecs / 3600.0;
    if (n >= 60 * h + 1)
        return {60, 10, 6, 3, 6};
    if (n >= 12 * h + 1)
        return {300, 30, 10, 2, 10};
    if (n >= 6 * h + 1)
        return {600, 60, 10, 5, 10};
    if (n >= 4 * h + 1)
        return {900, 120, 15, 5, 15};
    if (n >= 2 * h)
        return {1800, 300, 6, 3, 6};
    if (n >= h)
        return {3600, 600, 6, 3, 6};
    if (n >= h - 16)
        return {7200, 1800, 4, 2, 4};
    return {28800, 3600, 2, 0, 4};
}

int TimelineScale::tickLength(int i) const
{
    if (i % longEvery == 0)
        return 6;
    if (middleEvery > 0 && i % middleEvery == 0)
        return 4;
    return 3;
}

} // namespace OrvantaClient::GUI
