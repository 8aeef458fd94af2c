#include "resources.h"

#include <QtGlobal>

static void initWatchdeskResources()
{
    Q_INIT_RESOURCE(watchdesk);
}

namespace OrvantaClient {

void registerResources()
{
    static const bool registered = (initWatchdeskResources(), true);
    Q_UNUSED(registered)
}

} // namespace OrvantaClient
