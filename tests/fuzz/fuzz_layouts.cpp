// The layouts: the object of the account's layouts file and the service's layouts
// answer (the same shape, with "last_update"), read into layouts over servers
// that a lookup supplies as the roster store does.
#include "fuzzsupport.h"

#include "model/camera.h"
#include "model/layout.h"
#include "model/server.h"
#include "stores/layouts.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <map>

using namespace OrvantaClient;
using namespace OrvantaClient::API;

namespace {

void checkGrid(const Layout& layout)
{
    FUZZ_CHECK(layout.rows() >= Layout::minSize && layout.rows() <= Layout::maxSize);
    FUZZ_CHECK(layout.columns() >= Layout::minSize && layout.columns() <= Layout::maxSize);
    for (const Layout::Cell& cell : layout.cells()) {
        FUZZ_CHECK(cell.camera && cell.camera->server());
        FUZZ_CHECK(cell.row >= 0 && cell.column >= 0 && cell.w >= 1 && cell.h >= 1);
        FUZZ_CHECK(cell.row + cell.h <= layout.rows() && cell.column + cell.w <= layout.columns());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const QJsonObject object = QJsonDocument::fromJson(Fuzz::bytes(data, size)).object();
    const bool fileShape = App::Layouts::hasLayoutsShape(object, false);
    const bool answerShape = App::Layouts::hasLayoutsShape(object, true);
    if (!fileShape && !answerShape)
        return 0;
    std::map<server_id_t, ServerPtr> servers;
    const ServerLookup lookup = [&servers](const server_id_t& id) {
        ServerPtr& server = servers[id];
        if (!server)
            server = std::make_shared<Server>(id);
        return server;
    };
    for (const QJsonValue& value : object.value(QStringLiteral("layouts")).toArray()) {
        const Layout layout(value.toObject(), lookup);
        checkGrid(layout);
        // What is stored reads back as the same layout, cell for cell.
        const QJsonObject stored = layout.toJson();
        const Layout again(stored, lookup);
        checkGrid(again);
        FUZZ_CHECK(again.toJson() == stored);
    }
    return 0;
}
