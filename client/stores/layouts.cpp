#include "layouts.h"

#include "roster.h"
#include "api/cloudapiclient.h"
#include "core/storagepaths.h"
#include "model/layout.h"

#include <QDateTime>
#include <QDebug>
#include <QJsonDocument>
#include <QSet>

namespace OrvantaClient::App {

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
    const QString fileName = StoragePaths::localLayoutsFilePath();
    if (!m_file.open(fileName))
        qDebug() << "Unable to open file with local layouts list:" << fileName;
    if (API::CloudAPIClient::sessionId().isEmpty()) {
        loadLayoutsFromFile();
        return;
    }
    // The file is read only on the first login of the account (see below).
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
    if (!m_file.isOpen()) {
        qDebug() << "Trying to load layouts from file but it is closed";
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(m_file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << "Error while parsing local layouts from file:" << error.errorString();
        return;
    }
    merge(document.object());
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
    if (data.value(QStringLiteral("last_update")).toVariant().toLongLong() != 0) {
        merge(data);
        storeLayoutsToFile();
    } else {
        qDebug() << "Seems like this is first time client login."
                 << "Push all available layouts from file to API";
        loadLayoutsFromFile();
        storeLayoutsToApi();
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
    const API::ServerLookup servers = [roster = Roster::instance()](const API::server_id_t& id) {
        return roster->serverOrPlaceholder(id);
    };
    for (const QJsonValue& value : data.value(QStringLiteral("layouts")).toArray()) {
        const QJsonObject object = value.toObject();
        const API::layout_id_t id = object.value(QStringLiteral("id")).toString();
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
    m_file.store(QJsonDocument(content).toJson(QJsonDocument::Indented),
                 {"Can't truncate layouts file before overwriting", "Could not save layouts to",
                  "Could not flush layouts file", true});
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
