#include "camera.h"

#include "archivecalendar.h"
#include "localserver.h"
#include "api/cloudapiclient.h"
#include "core/deployment.h"
#include "core/settings.h"

#include <QDebug>
#include <QJsonArray>
#include <QPointer>
#include <QRegularExpression>
#include <QTransform>
#include <QUrl>
#include <cmath>

namespace OrvantaClient::API {

namespace Internal {

class CameraPrivate
{
public:
    bool previewUpdating = false;
    bool ptzSupported = false;
    QList<int> ptzPatrols;
    int runningPatrol = 0;
    QSize size{-1, -1};
    QString vcodec;
    int rotation = 0;
    bool mirror = false;
    int flags = Camera::NotPaid | Camera::Offline;
    int rights = 0;
    int aspectMode = 0;
    int streams = 0;
    // The server outlives its cameras in the roster; a camera kept elsewhere
    // after its server is gone reads as offline rather than crashing.
    QPointer<Server> server;
    int layoutsCount = 0;
    ArchiveRecords records;
    ArchiveCalendar calendar;
};

} // namespace Internal

namespace {

QString cacheKey(Server* server, camera_id_t id)
{
    return (server ? server->id() : QString()) + QLatin1Char('_') + QString::number(id);
}

// A side of the picture as the service tells it, or 0 (unknown) when it is no
// size a picture can have; compared as a double, since converting one out of
// range is undefined.
int pictureSide(const QJsonValue& value)
{
    const double side = value.toDouble(0);
    return side >= 1 && side <= 65535 ? int(side) : 0;
}

// A rotation as the service tells it: a quarter turn in 0..270, or 0.
int quarterTurns(const QJsonValue& value)
{
    const double degrees = value.toDouble(0);
    if (degrees < -360 || degrees > 360 || degrees != std::floor(degrees))
        return 0;
    const int turned = (int(degrees) + 360) % 360;
    return turned % 90 == 0 ? turned : 0;
}

QString rotationKey(const Server* server, camera_id_t id)
{
    // One arg() call: a "%1" inside the server id must stay as it is.
    return QStringLiteral("cameras/%1/%2/rotation").arg(server ? server->id() : QString(), QString::number(id));
}

QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

Camera::Camera(Server* server, camera_id_t id)
    : PreviewHandler(cacheKey(server, id))
    , ApiItem<camera_id_t>(id)
    , d(std::make_shared<Internal::CameraPrivate>())
{
    d->server = server;
}

Camera::Camera(Server* server, const QJsonObject& json)
    : Camera(server, json.value(QStringLiteral("id")).toInt(0))
{
    fromJson(json);
}

Camera::~Camera() = default;

void Camera::fromJson(const QJsonObject& json)
{
    if (!exists())
        setExists(true);
    setName(answeredName(json.value(QStringLiteral("name")).toString(QString())));
    d->vcodec = json.value(QStringLiteral("vcodec")).toString(QString());
    setMirror(json.value(QStringLiteral("mirror")).toBool(false));
    const QSize size(pictureSide(json.value(QStringLiteral("width"))), pictureSide(json.value(QStringLiteral("height"))));
    if (size != d->size)
        d->size = size;
    if (isLocal())
        setRotation(App::Settings::instance().intValue(rotationKey(server(), id()), 0, 0, 359));
    else
        setRotation(quarterTurns(json.value(QStringLiteral("rotation"))));

    bool paid = false;
    const QJsonObject services = json.value(QStringLiteral("services")).toObject();
    if (!services.isEmpty()) {
        const QJsonObject enabled = services.value(QStringLiteral("enabled")).toObject();
        if (!enabled.isEmpty()) {
            const QJsonValue active = enabled.value(QStringLiteral("active"));
            paid = active.toBool(false) || active.toString(QString()).isEmpty();
        }
    }
    const bool online = json.value(QStringLiteral("online")).toBool(false);
    setFlags((online ? 0 : Offline) | (paid ? 0 : NotPaid));

    int rights = 0;
    for (const QJsonValue& right : json.value(QStringLiteral("rights")).toArray()) {
        const QString word = right.toString();
        if (word == QLatin1String("owner"))
            rights |= OwnerRight;
        else if (word == QLatin1String("live"))
            rights |= LiveRight;
        else if (word == QLatin1String("archive"))
            rights |= ArchiveRight;
        else if (word == QLatin1String("ptz"))
            rights |= PtzRight;
    }
    if (rights != d->rights) {
        d->rights = rights;
        emit rightsChanged();
    }

    d->ptzSupported = json.value(QStringLiteral("features")).toObject().contains(QStringLiteral("ptz"));
    const QJsonObject streams = json.value(QStringLiteral("streams")).toObject();
    d->streams = (streams.value(QStringLiteral("0")).toBool(false) ? 2 : 0)
        | (streams.value(QStringLiteral("1")).toBool(false) ? 4 : 0)
        | (streams.value(QStringLiteral("2")).toBool(false) ? 8 : 0);
}

void Camera::update(const Camera& other)
{
    setName(other.name());
    d->vcodec = other.d->vcodec;
    setMirror(other.d->mirror);
    d->size = other.d->size;
    setRotation(other.d->rotation);
}

Server* Camera::server() const { return d->server; }
QSize Camera::size() const { return d->size; }
QString Camera::vcodec() const { return d->vcodec; }
int Camera::rotation() const { return d->rotation; }
bool Camera::mirror() const { return d->mirror; }
int Camera::flags() const { return d->flags; }
int Camera::rights() const { return d->rights; }
int Camera::streams() const { return d->streams; }
int Camera::aspectMode() const { return d->aspectMode; }
void Camera::setAspectMode(int mode) { d->aspectMode = mode; }
bool Camera::ptzSupported() const { return d->ptzSupported; }
QList<int> Camera::ptzPatrols() const { return d->ptzPatrols; }

QList<int> Camera::enabledPatrols(const QJsonObject& routes)
{
    QList<int> enabled;
    for (auto it = routes.constBegin(); it != routes.constEnd(); ++it) {
        bool isNumber = false;
        const int route = it.key().toInt(&isNumber, 10);
        if (isNumber && it.value().toBool(false))
            enabled.append(route);
    }
    return enabled;
}
int Camera::layoutsCount() const { return d->layoutsCount; }

void Camera::setRotation(int rotation)
{
    if (rotation == d->rotation)
        return;
    d->rotation = rotation;
    emit orientationChanged();
}

void Camera::setMirror(bool mirror)
{
    if (mirror == d->mirror)
        return;
    d->mirror = mirror;
    emit orientationChanged();
}

void Camera::setFlags(int flags)
{
    if (flags == d->flags)
        return;
    d->flags = flags;
    if (!isAvailable())
        clear();
    emit flagsChanged();
}

void Camera::setOnline(bool online)
{
    setFlags(online ? d->flags & ~Offline : d->flags | Offline);
}

bool Camera::isLocal() const
{
    return d->server && d->server->isLocal();
}

bool Camera::isPaid() const
{
    return !(d->flags & NotPaid) || isLocal();
}

bool Camera::isOnline() const
{
    return !(d->flags & Offline) && d->server && d->server->isOnline();
}

bool Camera::isAvailable() const
{
    return isOnline() && (isPaid() || isLocal());
}

bool Camera::hasOwnerRight() const { return (d->rights & OwnerRight) || isLocal(); }
bool Camera::hasLiveRight() const { return (d->rights & LiveRight) || isLocal(); }
bool Camera::hasArchiveRight() const { return (d->rights & ArchiveRight) || isLocal(); }
bool Camera::hasPtzRight() const { return (d->rights & PtzRight) || isLocal(); }

QString Camera::fileName() const
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|]"));
    return QString(name()).replace(forbidden, QStringLiteral("_"));
}

QPixmap Camera::transformedPreview() const
{
    QTransform transform;
    transform.scale(d->mirror ? -1 : 1, 1);
    transform.rotate(d->rotation);
    return preview().transformed(transform, Qt::FastTransformation);
}

QImage Camera::shownPicture(const QImage& picture) const
{
    if (d->rotation % 360 == 0 && !d->mirror)
        return picture;
    QTransform transform;
    transform.rotate(d->rotation);
    const QImage turned = picture.transformed(transform, Qt::FastTransformation);
    return d->mirror ? turned.mirrored(true, false) : turned;
}

QString Camera::streamUrl(const QString& kind, int quality) const
{
    const bool local = isLocal();
    QString url;
    if (local) {
        url = QStringLiteral("http://") + d->server->id();
    } else {
        const QUrl host = App::Deployment::instance().streaming();
        const bool useProxy = App::Settings::instance().value(QStringLiteral("proxy/useProxy"), false).toBool();
        url = (useProxy ? QStringLiteral("http") : host.scheme()) + QStringLiteral("://") + host.host();
        if (host.port() > 0)
            url += QLatin1Char(':') + QString::number(host.port());
    }
    // Values are percent-encoded so that a password or id holding "&" or "#"
    // cannot cut the query short; plain values read the same either way.
    url += QStringLiteral("/flv/") + kind;
    url += QStringLiteral("?server=") + (local ? QStringLiteral("1") : encoded(d->server ? d->server->id() : QString()));
    url += QStringLiteral("&camera=") + QString::number(id());
    url += QStringLiteral("&q=") + QString::number(quality);
    url += QStringLiteral("&sessionId=")
        + encoded(local ? static_cast<LocalServer*>(d->server.data())->password() : CloudAPIClient::sessionId());
    url += QStringLiteral("&vcodec=h264&vcodec=flv&vcodec=mpeg4&acodec=mp3");
    return url;
}

QString Camera::liveUrl(int quality) const
{
    if (isLocal()) {
        const int streams = d->streams;
        if (quality == 0)
            quality = (streams & 2) ? 0 : (streams & 4) ? 1 : 2;
        else if (quality == 1)
            quality = (streams & 4) ? 1 : 2;
    }
    return streamUrl(QStringLiteral("live"), quality);
}

QString Camera::archiveUrl(const QDateTime& start, int quality, int speed) const
{
    const QList<ArchiveRecord> day = d->records.records(start.date());
    if (day.isEmpty())
        return QString();
    return streamUrl(QStringLiteral("archive"), quality) + QStringLiteral("&startTime=")
        + QString::number(start.toSecsSinceEpoch()) + QStringLiteral("&endTime=")
        + QString::number(day.last().end.toSecsSinceEpoch()) + QStringLiteral("&speed=") + QString::number(speed);
}

QString Camera::exportUrl(const QDateTime& start, const QDateTime& end) const
{
    return streamUrl(QStringLiteral("archive"), 2) + QStringLiteral("&startTime=")
        + QString::number(start.toMSecsSinceEpoch()) + QStringLiteral("&endTime=")
        + QString::number(end.toMSecsSinceEpoch()) + QStringLiteral("&uploadRate=500");
}

QString Camera::statusText() const
{
    if (isOnline())
        return isPaid() ? QString() : tr("Plan not paid for");
    return isPaid() ? tr("Offline") : tr("Offline, plan not paid for");
}

QString Camera::statusMessage() const
{
    if (isOnline() && isPaid())
        return QString();
    if (isPaid())
        return tr("Camera \"%1\" is offline. Its video comes back by itself when the camera is online again.")
            .arg(name());
    const QString sentence = isOnline()
        ? tr("The pricing plan of camera \"%1\" is not paid for, so its video cannot be shown.").arg(name())
        : tr("Camera \"%1\" is offline, and its pricing plan is not paid for.").arg(name());
    // With the link the text is read as rich text: the name must stay as typed.
    return sentence.toHtmlEscaped() + QStringLiteral("<br><a style=\"color: white\" href=\"#\">")
        + tr("Set up pricing plan") + QStringLiteral("</a>");
}

void Camera::addedToLayout()
{
    ++d->layoutsCount;
    qDebug() << "Camera" << (d->server ? d->server->id() : QString()) << id()
             << "added to layout, camera layouts count:" << d->layoutsCount;
}

void Camera::removedFromLayout()
{
    --d->layoutsCount;
    qDebug() << "Camera" << (d->server ? d->server->id() : QString()) << id()
             << "removed from layout, camera layouts count:" << d->layoutsCount;
}

bool Camera::hasRecords(const QDate& date) const { return d->records.hasRecords(date); }
QList<ArchiveRecord> Camera::records(const QDate& date) const { return d->records.records(date); }
int Camera::recordIndexAt(const QDateTime& t) const { return d->records.recordIndexAt(t); }
QDateTime Camera::nextRecordTime(const QDateTime& t) const { return d->records.nextRecordTime(t); }
QMap<QDate, int> Camera::calendar() const { return d->calendar.days(); }

void Camera::onNameChanged()
{
    emit cameraNameChanged(name());
}

void Camera::onExistsChanged(bool exists)
{
    if (!exists)
        emit cameraRemoved();
}

CloudAPIClient* Camera::request()
{
    // One request object per request; it goes away after its answer.
    return new CloudAPIClient;
}

namespace {

// Where a camera's requests go: the streaming host for a cloud camera, the
// local server itself (with its password) for a local one.
struct Target
{
    QString host;
    int port = 0;
    QString password;
};

Target targetOf(const Camera& camera)
{
    if (!camera.isLocal())
        return {};
    const auto* local = static_cast<const LocalServer*>(camera.server());
    return {local->host(), local->port(), local->password()};
}

QString serverIdOf(const Camera& camera)
{
    return camera.server() ? camera.server()->id() : QString();
}

} // namespace

void Camera::updatePreview()
{
    if (d->previewUpdating)
        return;
    CloudAPIClient* client = request();
    connect(client, &CloudAPIClient::previewReceived, this, [this](const QPixmap& preview) {
        d->previewUpdating = false;
        setPreview(preview);
    });
    connect(client, &CloudAPIClient::previewError, this, [this] {
        d->previewUpdating = false;
        clear();
    });
    connect(client, &CloudAPIClient::previewReceived, client, &QObject::deleteLater);
    connect(client, &CloudAPIClient::previewError, client, &QObject::deleteLater);
    const Target target = targetOf(*this);
    client->requestPreview(serverIdOf(*this), id(), target.host, target.port, target.password);
    d->previewUpdating = true;
    emit previewUpdatingStarted();
}

void Camera::requestTimeline(QDate date)
{
    if (!hasArchiveRight()) {
        d->records.clear();
        emit recordsChanged(date);
        return;
    }
    CloudAPIClient* client = request();
    connect(client, &CloudAPIClient::archivesReceived, this, [this, date](const QJsonArray& answer) {
        d->records.setDay(date, answer);
        emit recordsChanged(date);
    });
    connect(client, &CloudAPIClient::archivesError, this, &Camera::recordsError);
    connect(client, &CloudAPIClient::archivesReceived, client, &QObject::deleteLater);
    connect(client, &CloudAPIClient::archivesError, client, &QObject::deleteLater);
    const Target target = targetOf(*this);
    client->getTimeline(serverIdOf(*this), id(), uint(QDateTime(date, QTime(0, 0, 0)).toSecsSinceEpoch()),
                        uint(QDateTime(date, QTime(23, 59, 59)).toSecsSinceEpoch()), target.host, target.port,
                        target.password);
}

void Camera::requestCalendar(QDate start, QDate end)
{
    if (!hasArchiveRight()) {
        d->calendar.clear();
        return;
    }
    CloudAPIClient* client = request();
    connect(client, &CloudAPIClient::archiveDatesReceived, this, [this, start, end](const QJsonArray& answer) {
        d->calendar.merge(answer);
        emit calendarChanged(start, end);
    });
    connect(client, &CloudAPIClient::archiveDatesError, this, &Camera::calendarError);
    connect(client, &CloudAPIClient::archiveDatesReceived, client, &QObject::deleteLater);
    connect(client, &CloudAPIClient::archiveDatesError, client, &QObject::deleteLater);
    const Target target = targetOf(*this);
    client->getCalendar(serverIdOf(*this), id(), uint(QDateTime(start, QTime(0, 0, 0)).toSecsSinceEpoch()),
                        uint(QDateTime(end, QTime(23, 59, 59)).toSecsSinceEpoch()), target.host, target.port,
                        target.password);
}

namespace {

// Move, zoom and patrol end in ptzDone() whatever the answer.
CloudAPIClient* ptzRequest(Camera* camera, CloudAPIClient* client)
{
    for (auto signal : {&CloudAPIClient::ptzOperationSuccess, &CloudAPIClient::ptzOperationFailed}) {
        QObject::connect(client, signal, camera, &Camera::ptzDone);
        QObject::connect(client, signal, client, &QObject::deleteLater);
    }
    return client;
}

QString directionWord(Camera::PtzMoveDirections direction)
{
    switch (direction) {
    case Camera::Up:
        return QStringLiteral("up");
    case Camera::Down:
        return QStringLiteral("down");
    case Camera::Left:
        return QStringLiteral("left");
    case Camera::Right:
        return QStringLiteral("right");
    default:
        return QStringLiteral("home");
    }
}

} // namespace

int Camera::runningPatrol() const { return d->runningPatrol; }

void Camera::setRunningPatrol(int route)
{
    if (route == d->runningPatrol)
        return;
    d->runningPatrol = route;
    emit runningPatrolChanged();
}

// A request the camera took puts it on the route given (0: off any route).
CloudAPIClient* Camera::ptzRequest(int route)
{
    CloudAPIClient* client = API::ptzRequest(this, request());
    connect(client, &CloudAPIClient::ptzOperationSuccess, this, [this, route] { setRunningPatrol(route); });
    return client;
}

void Camera::ptzMove(API::Camera::PtzMoveDirections direction)
{
    if (!hasPtzRight())
        return;
    const Target target = targetOf(*this);
    ptzRequest(0)
        ->ptzMove(serverIdOf(*this), id(), directionWord(direction), target.host, target.port, target.password);
}

void Camera::ptzZoom(int zoomLevel)
{
    if (!hasPtzRight())
        return;
    const Target target = targetOf(*this);
    ptzRequest(0)->ptzZoom(serverIdOf(*this), id(), zoomLevel, target.host, target.port, target.password);
}

void Camera::ptzPatrol(int route)
{
    if (!hasPtzRight())
        return;
    const Target target = targetOf(*this);
    ptzRequest(route)
        ->ptzPatrol(serverIdOf(*this), id(), route, target.host, target.port, target.password);
}

void Camera::stopPtzPatrol()
{
    ptzMove(Home);
}

void Camera::requestPtzPatrols()
{
    if (!hasPtzRight())
        return;
    CloudAPIClient* client = request();
    connect(client, &CloudAPIClient::ptzPatrolsReceived, this, [this](const QJsonObject& routes) {
        d->ptzPatrols = enabledPatrols(routes);
        emit ptzPatrolsChanged();
    });
    connect(client, &CloudAPIClient::ptzOperationFailed, this, [this] {
        d->ptzPatrols.clear();
        emit ptzPatrolsChanged();
    });
    connect(client, &CloudAPIClient::ptzPatrolsReceived, client, &QObject::deleteLater);
    connect(client, &CloudAPIClient::ptzOperationFailed, client, &QObject::deleteLater);
    const Target target = targetOf(*this);
    client->ptzPatrolsAvailable(serverIdOf(*this), id(), target.host, target.port, target.password);
}

void Camera::saveRotation()
{
    if (isLocal()) {
        App::Settings::instance().setValue(rotationKey(server(), id()), d->rotation);
        return;
    }
    CloudAPIClient* client = request();
    connect(client, &CloudAPIClient::ok, client, &QObject::deleteLater);
    connect(client, &CloudAPIClient::error, client, &QObject::deleteLater);
    client->setCameraRotation(serverIdOf(*this), id(), d->rotation);
}

} // namespace OrvantaClient::API
