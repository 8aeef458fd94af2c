#include "roster.h"

#include "api/cloudapiclient.h"
#include "api/httpclient.h"
#include "api/problemlog.h"
#include "core/storagepaths.h"
#include "core/usernotices.h"
#include "model/localserver.h"
#include "model/server.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace OrvantaClient::App {

Roster* Roster::instance()
{
    // Kept for the life of the process.
    static Roster* roster = new Roster;
    return roster;
}

Roster::Roster()
    : m_api(new API::CloudAPIClient(this))
{
    API::registerMetaTypes();
    m_reloadTimer.setInterval(30000);
    m_localTimer.setInterval(5000);
    connect(m_api, &API::CloudAPIClient::rosterUpdated, this, &Roster::onRosterLoadedFromApi);
    connect(m_api, &API::CloudAPIClient::rosterUpdateError, this, &Roster::onRosterLoadingError);
    connect(&m_reloadTimer, &QTimer::timeout, this, &Roster::loadRosterFromApi);
    connect(&m_localTimer, &QTimer::timeout, this, &Roster::updateLocalRoster);
}

Roster::~Roster()
{
    if (m_loggedIn)
        logout();
    removeAll();
}

void Roster::add(const API::ServerPtr& server)
{
    const API::ServerPtr held = item(server->id());
    if (held && server->isLocal() && !held->isLocal() && !held->exists()) {
        // Kept alive by held until the layouts that show its cameras moved on
        // to the local server's (they follow serverAdded).
        qDebug() << "Local server replaces placeholder:" << server->id();
        replace(server);
        return;
    }
    ApiItemsHolder::add(server);
}

API::ServerPtr Roster::serverOrPlaceholder(const API::server_id_t& id)
{
    API::ServerPtr server = item(id);
    if (!server) {
        server = std::make_shared<API::Server>(id);
        add(server);
    }
    return server;
}

void Roster::setTimerIntervals(int reloadMs, int localRefreshMs, int retryMs)
{
    m_reloadMs = reloadMs;
    m_retryMs = retryMs;
    m_reloadTimer.setInterval(m_serviceReachable ? reloadMs : retryMs);
    m_localTimer.setInterval(localRefreshMs);
}

void Roster::setServiceReachable(bool reachable)
{
    if (reachable == m_serviceReachable)
        return;
    m_serviceReachable = reachable;
    qDebug() << "Service reachable:" << reachable;
    // A running timer restarts with the new period.
    m_reloadTimer.setInterval(reachable ? m_reloadMs : m_retryMs);
    if (!reachable) {
        // The next roster that comes sets each server as the service sees it.
        for (const API::ServerPtr& server : items()) {
            if (!server->isLocal() && server->exists())
                server->setOnline(false);
        }
    }
    emit serviceReachableChanged(reachable);
}

void Roster::login()
{
    if (m_loggedIn) {
        qDebug() << "Trying to login Roster without logout first";
        return;
    }
    m_loggedIn = true;
    removeAll();
    m_storeFailureTold = false;
    // A file that cannot be opened is reported by the read; the store stays
    // open so that servers added now can still be stored (after it is moved aside).
    m_file.open(StoragePaths::localRosterFileName());
    loadRosterFromFile();
    if (!API::CloudAPIClient::sessionId().isEmpty()) {
        loadRosterFromApi();
        m_reloadTimer.start();
    }
    m_localTimer.start();
}

void Roster::logout()
{
    if (!m_loggedIn) {
        qDebug() << "Trying to logout Roster without login first";
        return;
    }
    m_reloadTimer.stop();
    m_localTimer.stop();
    m_file.close();
    removeAll();
    m_loading = false;
    m_loggedIn = false;
    setServiceReachable(true); // nothing to reach until the next login
}

void Roster::loadRosterFromFile()
{
    if (!m_file.isOpen()) {
        qDebug() << "Trying to load local roster from file but it is closed";
        return;
    }
    const ReadResult result = readLocalRoster();
    if (result == ReadResult::Whole)
        return;
    // The file stays as it is, so that it can be mended by hand; a store moves
    // it aside before writing (storeLocalRoster).
    m_file.markUnreadable();
    UserNotices::instance().post(
        result == ReadResult::Partly
            ? tr("Some of the local servers could not be read from %1. The file is left as it is.").arg(m_file.fileName())
            : tr("The local servers could not be read from %1. The file is left as it is.").arg(m_file.fileName()));
}

bool Roster::readLocalRosterFile(const QByteArray& content, const QString& fileName, QJsonArray* servers)
{
    *servers = QJsonArray();
    if (content.trimmed().isEmpty())
        return true; // nothing stored yet
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << "Error while parsing local roster from file:" << error.errorString();
        return false;
    }
    if (!document.isArray()) {
        qDebug() << "Local roster file does not hold a list of servers:" << fileName;
        return false;
    }
    *servers = document.array();
    return true;
}

Roster::ReadResult Roster::readLocalRoster()
{
    QByteArray content;
    QJsonArray servers;
    if (!m_file.read(&content) || !readLocalRosterFile(content, m_file.fileName(), &servers))
        return ReadResult::Nothing;
    int dropped = 0;
    for (const QJsonValue& value : qAsConst(servers)) {
        const QJsonObject object = value.toObject();
        const QJsonValue port = object.value(QStringLiteral("port"));
        const bool valid = value.isObject() && !object.value(QStringLiteral("ip")).toString().isEmpty()
            && port.toInt() >= 1 && port.toInt() <= 65535;
        // A second entry of a server would be lost by the next store.
        const std::shared_ptr<API::LocalServer> server =
            valid ? std::make_shared<API::LocalServer>(object) : std::shared_ptr<API::LocalServer>();
        const API::ServerPtr held = server ? item(server->id()) : API::ServerPtr();
        if (!server || (held && held->isLocal() && held->exists())) {
            ++dropped;
            continue;
        }
        if (!server->exists())
            server->setExists(true);
        add(server);
    }
    if (dropped == 0)
        return ReadResult::Whole;
    qDebug() << "Local roster file holds entries that are not servers, or repeated ones:" << dropped;
    return ReadResult::Partly;
}

void Roster::loadRosterFromApi()
{
    const bool localAuth = API::CloudAPIClient::sessionId().isEmpty();
    if (!m_loading && m_loggedIn && !localAuth) {
        emit rosterUpdatingStarted();
        m_loading = true;
        m_api->updateRoster();
        return;
    }
    qDebug() << "Trying to load local roster from API but:"
             << "is roster already loading?" << m_loading << "is roster are not log in?" << !m_loggedIn
             << "is local auth?" << localAuth;
}

void Roster::checkServiceNow()
{
    if (m_loggedIn && !m_loading && !API::CloudAPIClient::sessionId().isEmpty())
        loadRosterFromApi();
}

void Roster::onRosterLoadedFromApi(QJsonObject data)
{
    if (!m_loading) {
        qDebug() << "Servers list received but Roster did logout";
        return;
    }
    for (auto it = data.constBegin(); it != data.constEnd(); ++it) {
        const QJsonValue id = it.value().toObject().value(QStringLiteral("id"));
        if (!id.isString() || id.toString().isEmpty()) {
            // Servers that cannot be told apart would be merged or dropped with
            // their cards: the roster shown stays as it was.
            if (API::ProblemLog::first(QStringLiteral("roster"), QStringLiteral("entry")))
                qDebug() << "Roster answer not used: entry" << API::HTTPClient::logExcerpt(it.key().toUtf8())
                         << "is no server with an id";
            m_loading = false;
            emit rosterUpdatingError();
            return;
        }
    }
    API::ProblemLog::recovered(QStringLiteral("roster"));
    QSet<API::server_id_t> seen;
    for (const QJsonValue& value : qAsConst(data)) {
        const QJsonObject object = value.toObject();
        const API::server_id_t id = object.value(QStringLiteral("id")).toString();
        // A server listed twice is the same server; the first listing counts.
        if (seen.contains(id))
            continue;
        seen.insert(id);
        if (const API::ServerPtr held = item(id)) {
            const bool existed = held->exists();
            held->fromJson(object);
            if (!existed)
                emit serverAdded(held);
        } else {
            add(std::make_shared<API::Server>(object));
        }
    }
    for (const API::ServerPtr& server : items()) {
        // Local servers are the user's own; the service never lists them.
        if (!seen.contains(server->id()) && !server->isLocal())
            remove(server->id());
    }
    m_loading = false;
    setServiceReachable(true);
    emit rosterUpdatingFinished();
}

void Roster::onRosterLoadingError(int errorCode, int httpStatus)
{
    if (!m_loading) {
        qDebug() << "Servers list error received but Roster did logout";
        return;
    }
    m_loading = false;
    // No answer at all, or a gateway's: the service is out of reach. A refusal
    // of the service itself (an expired session, say) is not a lost connection.
    if (errorCode == -3 && (httpStatus == 0 || httpStatus >= 500))
        setServiceReachable(false);
    emit rosterUpdatingError();
}

void Roster::updateLocalRoster()
{
    for (const API::ServerPtr& server : items()) {
        // A local server the user removed is not asked any more.
        if (server->isLocal() && server->exists())
            static_cast<API::LocalServer*>(server.get())->update();
    }
    if (API::CloudAPIClient::sessionId().isEmpty())
        emit rosterUpdatingFinished();
}

void Roster::storeLocalRoster()
{
    if (!m_file.isOpen()) {
        qDebug() << "Trying to store local roster to file but it is closed";
        return;
    }
    QJsonArray servers;
    for (const API::ServerPtr& server : items()) {
        if (server->isLocal() && server->exists())
            servers.append(static_cast<API::LocalServer*>(server.get())->toJson());
    }
    QString keptAs;
    const bool stored = m_file.store(QJsonDocument(servers).toJson(QJsonDocument::Indented),
                                     {"Can't truncate local roster file before overwriting",
                                      "Could not write local roster to file", "Could not flush local roster file", false},
                                     &keptAs);
    if (!keptAs.isNull())
        UserNotices::instance().post(tr("The unreadable list of local servers was kept as %1.").arg(keptAs));
    // Once until a store succeeds again: every later change would repeat it.
    if (!stored && !m_storeFailureTold)
        UserNotices::instance().post(tr("The local servers could not be saved to %1.").arg(m_file.fileName()));
    m_storeFailureTold = !stored;
}

void Roster::onItemAdded(const API::ServerPtr& server)
{
    emit serverAdded(server);
}

void Roster::onItemRemoved(const API::ServerPtr& server)
{
    emit serverRemoved(server);
}

} // namespace OrvantaClient::App
