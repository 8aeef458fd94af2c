#pragma once

#include "apitypes.h"

#include <QJsonObject>
#include <QObject>

namespace OrvantaClient::API {

// A video server of the account (or, as a subclass, on the user's network).
class Server : public QObject
{
    Q_OBJECT
public:
    explicit Server(const QJsonObject& json, QObject* parent = nullptr);

    server_id_t id() const { return m_id; }
    QString name() const { return m_name; }
    virtual bool isLocal() const;

private:
    server_id_t m_id;
    QString m_name;
};

} // namespace OrvantaClient::API
