#pragma once

#include <QByteArray>

namespace VLC {

// Secrets handed to a worker out of sight. Every local user can read a process's
// command line (/proc/PID/cmdline), only its owner can read its environment. So
// watchdesk puts the stream address, which carries a local server's password or
// the session id, into the environment and a "-" in its place on the command
// line; the proxy password travels the same way. A caller that gives the address
// itself on the command line is served as before.
namespace WorkerEnvironment {

constexpr char streamVariable[] = "WATCHDESK_STREAM";
constexpr char proxyPasswordVariable[] = "WATCHDESK_PROXY_PASSWORD";
constexpr char fromEnvironment[] = "-";

// The stream argument as given; for "-", the stream from the environment. False
// when "-" finds no stream there.
bool readStream(const char* argument, QByteArray* stream);

// The variable's value, taken out of the environment so that nothing the worker
// starts inherits it; empty when it is not set.
QByteArray take(const char* name);

} // namespace WorkerEnvironment

} // namespace VLC
