// A local video server's stream list ("streams/info"): each stream becomes a
// camera of the server, and its stream addresses are made from it.
#include "fuzzsupport.h"

#include "model/camera.h"
#include "model/localserver.h"

#include <QJsonDocument>

using namespace OrvantaClient::API;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    static LocalServer* server = new LocalServer(QStringLiteral("Shop"), QStringLiteral("127.0.0.1"), 18090,
                                                 QStringLiteral("shop pass"));
    server->updateCameras(QJsonDocument::fromJson(Fuzz::bytes(data, size)).array());
    const QString prefix = QStringLiteral("http://127.0.0.1:18090/flv/live?server=1&camera=");
    for (const CameraPtr& camera : server->items()) {
        if (!camera->exists())
            continue;
        FUZZ_CHECK(camera->isLocal() && camera->hasLiveRight() && camera->hasArchiveRight());
        for (int quality = 0; quality < 3; ++quality) {
            const QString url = camera->liveUrl(quality);
            // Nothing of the answer reaches the address but the camera's number.
            FUZZ_CHECK(url.startsWith(prefix + QString::number(camera->id()) + QStringLiteral("&q=")));
            FUZZ_CHECK(url.endsWith(QStringLiteral("&sessionId=shop%20pass&vcodec=h264&vcodec=flv&vcodec=mpeg4&acodec=mp3")));
        }
    }
    return 0;
}
