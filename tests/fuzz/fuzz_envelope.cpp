// The body of every answer of the service's API host: parsed as the transport
// parses it, its start put into the log, and its envelope opened.
#include "fuzzsupport.h"

#include "api/httpclient.h"
#include "api/restclient.h"

using namespace OrvantaClient::API;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const QByteArray body = Fuzz::bytes(data, size);
    // Never more of a hostile answer in the log than the excerpt's size.
    FUZZ_CHECK(HTTPClient::logExcerpt(body).size() <= HTTPClient::logExcerptSize + 3);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return 0;
    const RestClient::Envelope envelope = RestClient::unwrap(document);
    FUZZ_CHECK(envelope.present || (!envelope.success && envelope.code == 0));
    FUZZ_CHECK(!envelope.success || (envelope.code == 0 && envelope.alias.isEmpty()));
    FUZZ_CHECK(envelope.success || envelope.response.isEmpty() || envelope.present);
    FUZZ_CHECK(!RestClient::errorMessage(envelope.code).isEmpty());
    return 0;
}
