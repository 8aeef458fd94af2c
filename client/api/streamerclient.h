#pragma once

#include "httpclient.h"

namespace OrvantaClient::API {

// The service's streaming host, or a local video server. Their answers carry
// no envelope: outcomes are handed on unchanged.
class StreamerClient : public QObject
{
    Q_OBJECT
public:
    // The streaming host over https with the proxy settings.
    StreamerClient();
    // A local video server over plain http, without proxy.
    StreamerClient(QString host, int port);

    HTTPClient& http() { return m_http; }

signals:
    void blobReceived(QByteArray data);
    void jsonReceived(QJsonDocument document);
    void error(int errorCode, int httpStatus);

public slots:
    void request(QString command, QVariantMap params, bool json);
    void request(QString command, QVariantMap params);
    void postRequest(QString command, QVariantMap params);

private:
    void connectTransport();

    HTTPClient m_http;
    QString m_prefix;
};

} // namespace OrvantaClient::API
