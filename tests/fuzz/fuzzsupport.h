#pragma once

// What every fuzz target shares: the input as Qt bytes, an application object for
// the Qt classes that want one, and a check that fails loudly under libFuzzer and
// under the replay driver alike.

#include <QByteArray>
#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), int(size));
}

// Once per process: an application object, and no log output, which would cost
// more than the parsing it reports on. Files of the working folder (settings,
// deployment.ini) land in the folder the target runs in, which CTest and
// scripts/fuzz.sh make a scratch folder.
inline void setUp()
{
    static const bool done = [] {
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", qPrintable(message));
                std::abort();
            }
        });
        return true;
    }();
    (void)done;
}

} // namespace Fuzz

// A broken promise of the code under test: abort, which both drivers report
// with the input that caused it.
#define FUZZ_CHECK(condition)                                                                                  \
    do {                                                                                                       \
        if (!(condition)) {                                                                                    \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);          \
            std::abort();                                                                                      \
        }                                                                                                      \
    } while (false)
