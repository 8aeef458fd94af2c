#include "workerenvironment.h"

#include <QtGlobal>

#include <cstring>

namespace VLC::WorkerEnvironment {

bool readStream(const char* argument, QByteArray* stream)
{
    if (std::strcmp(argument, fromEnvironment) != 0) {
        *stream = QByteArray(argument);
        return true;
    }
    *stream = take(streamVariable);
    return !stream->isEmpty();
}

QByteArray take(const char* name)
{
    const QByteArray value = qgetenv(name);
    qunsetenv(name);
    return value;
}

} // namespace VLC::WorkerEnvironment
