#include "cellnames.h"

#include "settings.h"

namespace OrvantaClient::App {

namespace {

const QString key = QStringLiteral("view/cameraNamesAlwaysShown");

} // namespace

CellNames& CellNames::instance()
{
    static CellNames names;
    return names;
}

bool CellNames::alwaysShown() const
{
    return Settings::instance().value(key, false).toBool();
}

void CellNames::setAlwaysShown(bool shown)
{
    if (shown == alwaysShown())
        return;
    Settings::instance().setValue(key, shown);
    emit alwaysShownChanged(shown);
}

} // namespace OrvantaClient::App
