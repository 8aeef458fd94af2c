// The local roster file ("local_roster.txt"): the user's local video servers with
// their passwords, read as at login and written back as a store writes them.
#include "fuzzsupport.h"

#include "model/localserver.h"
#include "stores/roster.h"

using namespace OrvantaClient;
using namespace OrvantaClient::API;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    QJsonArray servers;
    if (!App::Roster::readLocalRosterFile(Fuzz::bytes(data, size), QStringLiteral("local_roster.txt"), &servers)) {
        FUZZ_CHECK(servers.isEmpty());
        return 0;
    }
    for (const QJsonValue& value : qAsConst(servers)) {
        const LocalServer server(value.toObject());
        FUZZ_CHECK(server.isLocal());
        FUZZ_CHECK(server.id() == LocalServer::idFor(server.host(), server.port()));
        // The next store writes what the next login reads again, password and all.
        const QJsonObject stored = server.toJson();
        const LocalServer again(stored);
        FUZZ_CHECK(again.toJson() == stored && again.id() == server.id() && again.name() == server.name());
    }
    return 0;
}
