#pragma once

#include <QString>

namespace OrvantaClient::API {

// The ids by which the service names servers, cameras and layouts. The requests
// carry ids only; the domain objects they name live above this library.
using camera_id_t = int;
using server_id_t = QString;
using layout_id_t = QString;

} // namespace OrvantaClient::API
