#include "cloudapiclient.h"

namespace OrvantaClient::API {

namespace {
QString& session()
{
    static QString id;
    return id;
}
} // namespace

CloudAPIClient::CloudAPIClient(QObject* parent)
    : QObject(parent)
{
}

QString CloudAPIClient::sessionId()
{
    return session();
}

void CloudAPIClient::setSessionId(const QString& sessionId)
{
    session() = sessionId;
}

void CloudAPIClient::logout()
{
    // The service request arrives with the service client; until then a
    // logout only forgets the session.
    setSessionId(QString());
}

} // namespace OrvantaClient::API
