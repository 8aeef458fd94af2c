#include "crashguard.h"

#include <csignal>

#include <unistd.h>

namespace VLC {

namespace {

constexpr int guardedSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Whoever handled these signals before the guard: in a sanitizer build, the runtime
// that prints the stack of the crash. Written once, before any of the signals is let in.
struct sigaction previousActions[NSIG];

extern "C" void endAtOnce(int signal, siginfo_t* info, void* context)
{
    const struct sigaction& previous = previousActions[signal];
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction)
            previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
    }
    ::_exit(1);
}

} // namespace

void CrashGuard::install()
{
    struct sigaction action = {};
    action.sa_sigaction = &endAtOnce;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : guardedSignals) {
        struct sigaction previous = {};
        sigaction(signal, &action, &previous);
        // Installed twice, the guard must not take itself for the one to chain to.
        if (previous.sa_sigaction != action.sa_sigaction)
            previousActions[signal] = previous;
    }
}

} // namespace VLC
