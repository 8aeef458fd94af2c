#pragma once

#include "server.h"

#include <QJsonDocument>

namespace OrvantaClient::API {

class StreamerClient;

// A video server on the user's own network, entered by address, port and
// password. It asks the server itself for its streams; each becomes a camera.
class LocalServer : public Server
{
    Q_OBJECT
public:
    LocalServer(const QString& name, const QString& host, int port, const QString& password);
    explicit LocalServer(const QJsonObject& json);

    // The longest wait for the status answer (less when the default is less).
    static constexpr int statusTimeoutMs = 10000;
    ~LocalServer() override;

    bool isLocal() const override;
    void update(const Server& other) override;

    QString host() const { return m_host; }
    int port() const { return m_port; }
    QString password() const { return m_password; }
    void setPassword(const QString& password);
    bool isUpdating() const { return m_updating; }
    QJsonObject toJson() const;

    static server_id_t idFor(const QString& host, int port);

public slots:
    void update();

signals:
    void localServerUpdatingStarted();
    void localServerUpdatingFinished();
    void localServerUpdatingError();

protected:
    void onExistsChanged(bool exists) override;

private slots:
    void streamsUpdate(QJsonDocument data);
    void streamsError();

private:
    QString m_host;
    int m_port;
    QString m_password;
    bool m_updating = false;
    StreamerClient* m_streams;
};

} // namespace OrvantaClient::API
