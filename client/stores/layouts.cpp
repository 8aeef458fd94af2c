#include "layouts.h"

#include "roster.h"
#include "api/cloudapiclient.h"
#include "api/problemlog.h"
#include "core/storagepaths.h"
#include "core/usernotices.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/server.h"

#include <QDateTime>
#include <QDebug>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>

namespace OrvantaClient::App {

namespace {

// Layouts are read with the roster's lookup, so that they can be read before it.
API::ServerLookup rosterLookup()
{
    return [roster = Roster::instance()](const API::server_id_t& id) { return roster->serverOrPlaceholder(id); };
}

// "last_update" 0, as a number or as its text, marks an account that never stored
// layouts. A number is compared as it is: made an integer, a fraction would read
// as 0, and a value beyond 64 bits has no integer at all.
bool neverUpdated(const QJsonValue& lastUpdate)
{
    return lastUpdate.isString() ? lastUpdate.toString().toLongLong() == 0 : lastUpdate.toDouble() == 0;
}

bool withinGrid(const QJsonValue& value, int low)
{
    const double number = value.toDouble(-1);
    return value.isDouble() && number >= low && number <= API::Layout::maxSize;
}

// Layouts that cannot be told apart would be merged or dropped, and cells
// outside any grid lost; the result would then be stored over the file.
bool layoutsAreUsable(const QJsonObject& data)
{
    for (const QJsonValue& value : data.value(QStringLiteral("layouts")).toArray()) {
        const QJsonValue id = value.toObject().value(QStringLiteral("id"));
        if (!id.isString() || id.toString().isEmpty())
            return false;
        for (const QJsonValue& cell : value.toObject().value(QStringLiteral("cameras")).toArray()) {
            const QJsonObject object = cell.toObject();
            if (API::Server::cameraIdOf(cell, QStringLiteral("camera")) < 0 || !withinGrid(object.value(QStringLiteral("row")), 0)
                || !withinGrid(object.value(QStringLiteral("column")), 0))
                return false;
        }
    }
    return true;
}

} // namespace

// The shape of the layouts object in the file and in the service's answer. A
// wrong one is never taken for an empty list: that list would be pushed or
// written over the user's layouts.
bool Layouts::hasLayoutsShape(const QJsonObject& data, bool fromService)
{
    const QJsonValue layouts = data.value(QStringLiteral("layouts"));
    if (!fromService)
        return layouts.isArray();
    const QJsonValue lastUpdate = data.value(QStringLiteral("last_update"));
    bool isNumber = lastUpdate.isDouble();
    if (lastUpdate.isString())
        lastUpdate.toString().toLongLong(&isNumber);
    if (!isNumber)
        return false;
    // Before the first push the service may leave the list out.
    return (layouts.isArray() && layoutsAreUsable(data)) || (neverUpdated(lastUpdate) && layouts.isUndefined());
}

Layouts* Layouts::instance()
{
    // Kept for the life of the process.
    static Layouts* layouts = new Layouts;
    return layouts;
}

Layouts::Layouts()
    : m_api(new API::CloudAPIClient(this))
{
    API::registerMetaTypes();
    m_reloadTimer.setInterval(30000);
    connect(m_api, &API::CloudAPIClient::layoutsUpdated, this, &Layouts::onLayoutsLoadedFromApi);
    connect(m_api, &API::CloudAPIClient::layoutsUpdateError, this, &Layouts::onLayoutsLoadingError);
    connect(&m_reloadTimer, &QTimer::timeout, this, &Layouts::loadLayoutsFromApi);
    connect(Roster::instance(), &Roster::serverAdded, this, &Layouts::followServer);
}

Layouts::~Layouts()
{
    if (m_loggedIn)
        logout();
    removeAll();
}

void Layouts::setReloadInterval(int milliseconds)
{
    m_reloadTimer.setInterval(milliseconds);
}

void Layouts::login()
{
    if (m_loggedIn) {
        qDebug() << "Trying to login Layouts without logout first";
        return;
    }
    m_loggedIn = true;
    removeAll();
    m_storeFailureTold = false;
    // A file that cannot be opened is reported when it is read.
    m_file.open(StoragePaths::localLayoutsFilePath());
    if (API::CloudAPIClient::sessionId().isEmpty()) {
        // A local start has only the file: once read, the list is complete
        // (else the Layouts page would wait for the service for ever).
        loadLayoutsFromFile();
        emit layoutsUpdatingFinished();
        return;
    }
    // The file is read only on the first login of the account (see below);
    // else the service's copy replaces it, but never one that could not be
    // read whole: that one is moved aside first.
    QJsonObject unused;
    if (parseLayoutsFile(&unused) != ReadResult::Whole)
        m_file.markUnreadable();
    loadLayoutsFromApi();
    m_reloadTimer.start();
}

void Layouts::logout()
{
    if (!m_loggedIn) {
        qDebug() << "Trying to logout Layouts without login first";
        return;
    }
    m_reloadTimer.stop();
    m_file.close();
    removeAll();
    m_loading = false;
    m_loggedIn = false;
}

void Layouts::loadLayoutsFromFile()
{
    readLayoutsFile();
}

Layouts::ReadResult Layouts::parseLayoutsFile(QJsonObject* data)
{
    QByteArray content;
    if (!m_file.read(&content))
        return ReadResult::Nothing; // logged by the read
    if (content.trimmed().isEmpty())
        return ReadResult::Whole; // nothing stored yet
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << "Error while parsing local layouts from file:" << error.errorString();
        return ReadResult::Nothing;
    }
    if (!hasLayoutsShape(document.object(), false)) {
        qDebug() << "Local layouts file does not hold layouts:" << m_file.fileName();
        return ReadResult::Nothing;
    }
    QJsonArray layouts;
    int dropped = 0;
    for (const QJsonValue& value : document.object().value(QStringLiteral("layouts")).toArray()) {
        // Only layouts with an id can be told apart and stored again.
        if (value.toObject().value(QStringLiteral("id")).toString().isEmpty())
            ++dropped;
        else
            layouts.append(value);
    }
    *data = document.object();
    data->insert(QStringLiteral("layouts"), layouts);
    if (dropped == 0)
        return ReadResult::Whole;
    qDebug() << "Local layouts file holds entries that are not layouts:" << dropped;
    return ReadResult::Partly;
}

bool Layouts::readLayoutsFile()
{
    if (!m_file.isOpen()) {
        qDebug() << "Trying to load layouts from file but it is closed";
        return false;
    }
    QJsonObject data;
    const ReadResult result = parseLayoutsFile(&data);
    if (!data.isEmpty())
        merge(data);
    if (result == ReadResult::Whole)
        return true;
    // Kept aside rather than written over by the next store; when it cannot be
    // moved now, the next store tries again and stores nothing if it fails.
    m_file.markUnreadable();
    const QString fileName = m_file.fileName();
    const QString keptAs = QFile::exists(fileName) ? m_file.setAside() : QString();
    QString notice;
    if (result == ReadResult::Partly)
        notice = keptAs.isNull() ? tr("Some of the saved layouts could not be read from %1.").arg(fileName)
                                 : tr("Some of the saved layouts could not be read from %1. The file was kept as %2.")
                                       .arg(fileName, keptAs);
    else
        notice = keptAs.isNull() ? tr("The saved layouts could not be read from %1.").arg(fileName)
                                 : tr("The saved layouts could not be read from %1. The file was kept as %2.")
                                       .arg(fileName, keptAs);
    UserNotices::instance().post(notice);
    // Layouts that were read are still pushed; only a file read as nothing must
    // not replace the service's copy.
    return result == ReadResult::Partly;
}

void Layouts::loadLayoutsFromApi()
{
    const bool localAuth = API::CloudAPIClient::sessionId().isEmpty();
    if (!m_loading && m_loggedIn && !localAuth) {
        emit layoutsUpdatingStarted();
        m_loading = true;
        m_api->updateLayouts();
        return;
    }
    qDebug() << "Trying to load layouts from API but:"
             << "is layouts already loading?" << m_loading << "is layouts are not log in?" << !m_loggedIn
             << "is local auth?" << localAuth;
}

void Layouts::onLayoutsLoadedFromApi(QJsonObject data)
{
    if (!m_loading) {
        qDebug() << "Layouts list received but Layouts did logout";
        return;
    }
    if (!hasLayoutsShape(data, true)) {
        if (API::ProblemLog::first(QStringLiteral("layouts"), QStringLiteral("shape")))
            qDebug() << "Layouts answer has a wrong shape, keys:" << data.keys().mid(0, 10);
        onLayoutsLoadingError();
        return;
    }
    API::ProblemLog::recovered(QStringLiteral("layouts"));
    if (!neverUpdated(data.value(QStringLiteral("last_update")))) {
        merge(data);
        storeLayoutsToFile();
    } else {
        qDebug() << "Seems like this is first time client login."
                 << "Push all available layouts from file to API";
        // What could not be read must not replace the service's copy.
        if (readLayoutsFile())
            storeLayoutsToApi();
        else
            qDebug() << "Skip pushing layouts to API: the local file could not be read";
    }
    m_loading = false;
    emit layoutsUpdatingFinished();
}

void Layouts::onLayoutsLoadingError()
{
    if (!m_loading) {
        qDebug() << "Layouts list error received but Layouts did logout";
        return;
    }
    m_loading = false;
    emit layoutsUpdatingError();
}

void Layouts::merge(const QJsonObject& data)
{
    QSet<API::layout_id_t> seen;
    const API::ServerLookup servers = rosterLookup();
    for (const QJsonValue& value : data.value(QStringLiteral("layouts")).toArray()) {
        const QJsonObject object = value.toObject();
        const API::layout_id_t id = object.value(QStringLiteral("id")).toString();
        // A layout listed twice is the same layout; the first listing counts.
        if (seen.contains(id))
            continue;
        seen.insert(id);
        if (const API::LayoutPtr held = item(id)) {
            const bool existed = held->exists();
            held->update(API::Layout(object, servers));
            if (!existed)
                emit layoutAdded(held);
        } else {
            add(std::make_shared<API::Layout>(object, servers));
        }
    }
    for (const API::LayoutPtr& layout : items()) {
        if (!seen.contains(layout->id()))
            remove(layout->id());
    }
}

void Layouts::followServer(const API::ServerPtr& server)
{
    // A server that took the place of a placeholder (a local server added after
    // a layout named it): the layouts showing the placeholder's cameras are
    // read again, so that they show the server's own.
    for (const API::LayoutPtr& layout : items()) {
        if (!layout->exists())
            continue;
        const QList<API::CameraPtr> cameras = layout->cameras();
        const bool stale = std::any_of(cameras.begin(), cameras.end(), [&server](const API::CameraPtr& camera) {
            return camera->server() && camera->server() != server.get() && camera->server()->id() == server->id();
        });
        if (stale)
            layout->update(API::Layout(layout->toJson(), rosterLookup()));
    }
}

QJsonArray Layouts::layoutsArray() const
{
    QJsonArray array;
    for (const API::LayoutPtr& layout : items()) {
        if (layout->exists())
            array.append(layout->toJson());
    }
    return array;
}

void Layouts::store()
{
    storeLayoutsToApi();
    storeLayoutsToFile();
}

void Layouts::deleteLayout(const API::LayoutPtr& layout)
{
    if (!layout || !layout->exists())
        return;
    remove(layout);
    store();
    emit layoutDeleted(layout);
}

void Layouts::storeLayoutsToApi()
{
    const bool localAuth = API::CloudAPIClient::sessionId().isEmpty();
    if (!m_loggedIn || localAuth) {
        qDebug() << "Trying to store layouts to API but:"
                 << "is layouts are not log in?" << !m_loggedIn << "is local auth?" << localAuth;
        return;
    }
    m_api->saveLayouts(QJsonDocument(layoutsArray()).toJson(QJsonDocument::Indented));
}

void Layouts::storeLayoutsToFile()
{
    if (!m_file.isOpen()) {
        qDebug() << "Trying to store layouts to file but it is closed";
        return;
    }
    const QJsonObject content{
        {QStringLiteral("last_update"), QDateTime::currentMSecsSinceEpoch() / 1000},
        {QStringLiteral("layouts"), layoutsArray()},
    };
    QString keptAs;
    const bool stored = m_file.store(QJsonDocument(content).toJson(QJsonDocument::Indented),
                                     {"Can't truncate layouts file before overwriting", "Could not save layouts to",
                                      "Could not flush layouts file", true},
                                     &keptAs);
    if (!keptAs.isNull())
        UserNotices::instance().post(tr("The unreadable layouts file was kept as %1.").arg(keptAs));
    // Once until a store succeeds again: every reload stores and would repeat it.
    if (!stored && !m_storeFailureTold)
        UserNotices::instance().post(tr("The layouts could not be saved to %1.").arg(m_file.fileName()));
    m_storeFailureTold = !stored;
}

void Layouts::onItemAdded(const API::LayoutPtr& layout)
{
    emit layoutAdded(layout);
}

void Layouts::onItemRemoved(const API::LayoutPtr& layout)
{
    emit layoutRemoved(layout);
}

} // namespace OrvantaClient::App
