#pragma once

namespace VLC {

// A crash inside libvlc must end the worker at once with exit code 1, so that
// watchdesk sees a failed worker rather than a hung or half-dead one. A handler
// that was there before (a sanitizer's, which prints where the crash happened)
// still runs first.
class CrashGuard
{
public:
    static void install();
};

} // namespace VLC
