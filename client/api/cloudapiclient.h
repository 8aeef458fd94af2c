#pragma once

#include <QObject>
#include <QString>

namespace OrvantaClient::API {

// The facade through which the client talks to the service. Holds the
// process-wide session id, empty until a login succeeds.
class CloudAPIClient : public QObject
{
    Q_OBJECT
public:
    explicit CloudAPIClient(QObject* parent = nullptr);

    static QString sessionId();

public slots:
    void logout();

protected:
    static void setSessionId(const QString& sessionId);
};

} // namespace OrvantaClient::API
