#pragma once

#include "httpclient.h"

#include <QJsonObject>

namespace OrvantaClient::API {

// The service's API host. Every answer comes in an envelope ("success",
// "response"); this client unwraps it and turns a refusal into an error pair.
class RestClient : public QObject
{
    Q_OBJECT
public:
    RestClient();

    // Each operation puts "/" in front of path, so "/layouts" is asked for as
    // "//layouts"; the network layer sends it with the doubled slash collapsed.
    void get(QString path, QVariantMap params);
    void del(QString path, QVariantMap params);
    void post(QString path, QVariantMap params, QByteArray data);
    void postForm(QString path, QVariantMap params);

    // The form body: key=value pairs in ascending key order, fully encoded.
    // Values the caller already percent-encoded are not encoded again.
    static QByteArray formBody(const QVariantMap& params);

    // The user-facing text of an error code of the service or the transport.
    static QString errorMessage(int code);

    // What an answer's envelope says: the inner object of a success, or else the
    // service's error code and its alias. An answer without "success" has none.
    struct Envelope
    {
        bool present = false;
        bool success = false;
        bool carriesObject = true; // false: "response" is an array or a plain value
        bool carriesArray = false;
        QJsonObject response;
        int code = 0;
        QString alias;
    };
    static Envelope unwrap(const QJsonDocument& answer);

signals:
    void jsonReceived(QJsonObject response);
    void error(int errorCode, int httpStatus);

private slots:
    void httpReply(QJsonDocument response);

private:
    HTTPClient m_http;
};

} // namespace OrvantaClient::API
