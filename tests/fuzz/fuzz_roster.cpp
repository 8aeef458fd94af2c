// The service's roster answer: servers with their cameras, read as the roster
// store reads them, then read again over the objects already held.
#include "fuzzsupport.h"

#include "api/restclient.h"
#include "model/camera.h"
#include "model/server.h"

#include <QJsonDocument>
#include <QSet>

using namespace OrvantaClient::API;

namespace {

QStringList cameraNames(const Server& server)
{
    QStringList names;
    for (const CameraPtr& camera : server.items()) {
        // The state a cell and a card show follows from the flags and the server.
        FUZZ_CHECK(camera->server() == &server);
        FUZZ_CHECK(!camera->isOnline() || server.isOnline());
        FUZZ_CHECK(camera->isOnline() || !camera->statusMessage().isEmpty());
        if (camera->exists())
            names.append(QString::number(camera->id()) + QLatin1Char(' ') + camera->name());
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const RestClient::Envelope envelope = RestClient::unwrap(QJsonDocument::fromJson(Fuzz::bytes(data, size)));
    if (!envelope.success)
        return 0;
    for (const QJsonValue& value : envelope.response) {
        const QJsonObject object = value.toObject();
        Server server(object);
        const QStringList first = cameraNames(server);
        QSet<QString> unique(first.begin(), first.end());
        FUZZ_CHECK(unique.size() == first.size());
        // The next reload brings the same answer: nothing may change.
        server.fromJson(object);
        FUZZ_CHECK(cameraNames(server) == first);
        // A server that lost its cameras shows none.
        server.updateCameras(QJsonArray());
        FUZZ_CHECK(cameraNames(server).isEmpty());
    }
    return 0;
}
