// A PTZ camera's patrols answer: JSON text inside a JSON string, read into the
// routes the patrol buttons offer.
#include "fuzzsupport.h"

#include "api/cloudapiclient.h"
#include "model/camera.h"

#include <QJsonDocument>

using namespace OrvantaClient::API;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    QJsonObject routes;
    if (!CloudAPIClient::readPatrolsAnswer(QJsonDocument::fromJson(Fuzz::bytes(data, size)), &routes))
        return 0;
    const QList<int> enabled = Camera::enabledPatrols(routes);
    FUZZ_CHECK(enabled.size() <= routes.size());
    for (int route : enabled) {
        bool named = false;
        for (auto it = routes.constBegin(); it != routes.constEnd() && !named; ++it)
            named = it.key().toInt() == route && it.value().toBool(false);
        FUZZ_CHECK(named);
    }
    return 0;
}
