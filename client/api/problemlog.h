#pragma once

#include <QString>

namespace OrvantaClient::API {

// A peer that keeps failing the same way fails that way on every request,
// every few seconds: the log gets the first of each kind of problem, then
// nothing of that kind until the peer answers well again, which is logged
// with the count of what was held back. Used on the GUI thread only.
class ProblemLog
{
public:
    // True for the first problem of this kind from source since its last
    // good answer: the caller logs it then.
    static bool first(const QString& source, const QString& kind);
    // Source answered well; its problems are logged afresh from now on.
    static void recovered(const QString& source);
};

} // namespace OrvantaClient::API
