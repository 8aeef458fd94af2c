#include "faults.h"

namespace Camsim {

Faults Faults::fromJson(const QJsonObject& json)
{
    Faults faults;
    faults.scope = json.value("scope").toString(faults.scope);
    faults.delayMs = qMax(0, json.value("delayMs").toInt(0));
    faults.status500 = json.value("status500").toBool(false);
    faults.garbage = json.value("garbage").toBool(false);
    faults.dropStreamAfterSecs = qMax(0, json.value("dropStreamAfterSecs").toInt(0));
    faults.stall = json.value("stall").toBool(false);
    faults.refuse = json.value("refuse").toBool(false);
    faults.answer = json.value("answer").toString();
    return faults;
}

QJsonObject Faults::toJson() const
{
    return {{"scope", scope}, {"delayMs", delayMs}, {"status500", status500}, {"garbage", garbage},
            {"dropStreamAfterSecs", dropStreamAfterSecs}, {"stall", stall}, {"refuse", refuse}, {"answer", answer}};
}

} // namespace Camsim
