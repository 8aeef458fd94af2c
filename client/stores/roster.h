#pragma once

#include "storefile.h"
#include "model/apiitemsholder.h"
#include "model/apitypes.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

namespace OrvantaClient::API {
class CloudAPIClient;
}

namespace OrvantaClient::App {

// The process-wide roster: the cloud servers of the account, fetched from the
// service, and the local video servers the user added, kept in the local
// roster file. Every server object lives once and survives refreshes.
class Roster : public QObject, public API::ApiItemsHolder<API::ServerPtr, API::server_id_t>
{
    Q_OBJECT
public:
    static Roster* instance();
    ~Roster() override;

    void login();
    void logout();
    // Writes the existing local servers to the local roster file.
    void storeLocalRoster();

    // The holder's add, except that a local server takes the place of a
    // placeholder that a layout left under its id (see serverOrPlaceholder):
    // a placeholder can neither poll nor be stored.
    void add(const API::ServerPtr& server);

    bool isLoggedIn() const { return m_loggedIn; }
    bool isLoading() const { return m_loading; }

    // False while the service cannot be reached (refused, timed out, or a
    // gateway that answers 5xx): the cloud servers are then shown offline,
    // since nothing of them can be watched, and the roster asks again at the
    // retry period until an answer comes. Always true for a local start.
    bool isServiceReachable() const { return m_serviceReachable; }
    void setServiceReachable(bool reachable);
    // A sign from elsewhere that the service may be gone (a cloud stream that
    // failed): the roster is asked for now rather than at the next reload, if
    // there is a session and no request is out.
    void checkServiceNow();

    // The held server of an id, or else a placeholder, held from now on, that the
    // roster fills and announces when the server arrives: the lookup with which
    // layouts are read, so that they can be read before the roster.
    API::ServerPtr serverOrPlaceholder(const API::server_id_t& id);

    // The servers the content of a local roster file lists (a JSON array of
    // objects); false, with the reason in the log, when it is not such a file.
    // Empty content is an empty list: nothing was stored yet.
    static bool readLocalRosterFile(const QByteArray& content, const QString& fileName, QJsonArray* servers);

    // The reload (30 s), local refresh (5 s) and, while the service cannot be
    // reached, retry (5 s) periods; tests shorten them.
    void setTimerIntervals(int reloadMs, int localRefreshMs, int retryMs = 5000);

signals:
    void rosterUpdatingStarted();
    void rosterUpdatingFinished();
    void rosterUpdatingError();
    void serverAdded(API::ServerPtr server);
    void serverRemoved(API::ServerPtr server);
    void serviceReachableChanged(bool reachable);

public slots:
    void loadRosterFromFile();
    void loadRosterFromApi();
    void updateLocalRoster();
    void onRosterLoadedFromApi(QJsonObject data);
    void onRosterLoadingError(int errorCode = 0, int httpStatus = 0);

protected:
    void onItemAdded(const API::ServerPtr& server) override;
    void onItemRemoved(const API::ServerPtr& server) override;

private:
    enum class ReadResult { Whole, Partly, Nothing };

    Roster();
    ReadResult readLocalRoster();

    API::CloudAPIClient* m_api;
    // Owner-only: it holds the local servers' passwords. A thousand servers
    // take some 150 kB.
    StoreFile m_file{1024 * 1024, true};
    bool m_storeFailureTold = false;
    bool m_loggedIn = false;
    bool m_loading = false;
    bool m_serviceReachable = true;
    int m_reloadMs = 30000;
    int m_retryMs = 5000;
    QTimer m_reloadTimer;
    QTimer m_localTimer;
};

} // namespace OrvantaClient::App
