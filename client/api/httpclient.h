#pragma once

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>
#include <QVariantMap>

class QNetworkReply;

namespace OrvantaClient::API {

// The one HTTP engine of the client, bound to one host for its whole life.
// Serves one request at a time and reports exactly one outcome per request:
// the raw body, a JSON document, or an error pair (error code, HTTP status).
class HTTPClient : public QObject
{
    Q_OBJECT
public:
    HTTPClient(QString host, int port, bool https, bool useProxy);
    HTTPClient(QString host, bool https, bool useProxy);
    ~HTTPClient() override;

    // A request that transfers nothing for this long ends as error(-3, 0).
    void setTransferTimeout(int milliseconds);
    // The timeout of clients built from now on (30 s unless changed).
    static void setDefaultTransferTimeout(int milliseconds);
    static int defaultTransferTimeout();

    static constexpr int maxRedirects = 10;
    // The largest answer read, JSON or picture. The largest real ones are the
    // rosters of big accounts, about 400 bytes a camera: 5,000 cameras are
    // some 2 MB. A bigger answer is dropped while it comes, as error(-2, 400).
    static constexpr qint64 maxAnswerSize = 8 * 1024 * 1024;

    // The name under which this client's problems are logged (ProblemLog).
    QString source() const;

    // The start of an answer as it may go into the log: at most
    // logExcerptSize bytes, with "..." when there was more.
    static constexpr int logExcerptSize = 512;
    static QString logExcerpt(const QByteArray& data);

signals:
    void finished(QByteArray data);
    void finished(QJsonDocument document);
    void error(int errorCode, int httpStatus);

public slots:
    void get(QString path, QVariantMap params, bool json);
    void del(QString path, QVariantMap params, bool json);
    void post(QString path, QVariantMap params, QByteArray data, QString contentType, bool json);
    void post(QString path, QByteArray data, QString contentType, bool json);

private slots:
    void httpReply();

private:
    void start(const QString& method, const QString& path, const QVariantMap& params, bool json);
    void follow(const QUrl& target);
    void send();
    void fail(int errorCode, int httpStatus);
    void watchSize(QNetworkReply* reply);
    // False when a problem of this kind was logged since the host last answered well.
    bool firstProblem(const QString& kind) const;

    QNetworkAccessManager m_manager;
    QString m_method;
    QUrl m_base; // scheme, host and port: where every request of the caller starts
    QUrl m_url;
    bool m_json = false;
    QByteArray m_postData;
    QString m_contentType;
    int m_redirectCount = 0;
    int m_transferTimeout;
    QList<QNetworkReply*> m_pendingReplies;
};

} // namespace OrvantaClient::API
