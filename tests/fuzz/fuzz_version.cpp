// The service's answer to the update check: the version it offers, compared with
// the running one.
#include "fuzzsupport.h"

#include "api/restclient.h"
#include "gui/sidebar/sidebarsettings.h"

#include <QJsonDocument>

using namespace OrvantaClient;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const API::RestClient::Envelope envelope = API::RestClient::unwrap(QJsonDocument::fromJson(Fuzz::bytes(data, size)));
    if (!envelope.success)
        return 0;
    const QString offered = envelope.response.value(QStringLiteral("version")).toString();
    for (const QString& running : {QStringLiteral("6.1.3.304"), QStringLiteral("6.1.3.304-beta"), QString()}) {
        // Never newer both ways round, never newer than itself.
        FUZZ_CHECK(!(GUI::SideBarSettings::isNewerVersion(offered, running)
                     && GUI::SideBarSettings::isNewerVersion(running, offered)));
        FUZZ_CHECK(!GUI::SideBarSettings::isNewerVersion(offered, offered));
    }
    return 0;
}
