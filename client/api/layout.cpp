#include "layout.h"

#include <QUuid>

namespace OrvantaClient::API {

Layout::Layout()
    : m_id(QUuid::createUuid().toString(QUuid::WithoutBraces))
    , m_name(tr("Untitled layout"))
{
}

} // namespace OrvantaClient::API
