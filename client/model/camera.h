#pragma once

#include "apiitem.h"
#include "apitypes.h"
#include "archiverecords.h"
#include "previewhandler.h"

#include <QDateTime>
#include <QImage>
#include <QJsonObject>
#include <QSize>
#include <memory>

namespace OrvantaClient::API {

namespace Internal {
class CameraPrivate;
}

// One camera of one server: its state flags and the viewer's rights, the URLs
// its streams play from, its preview, its archive caches, PTZ and rotation.
class Camera : public PreviewHandler, public ApiItem<camera_id_t>
{
    Q_OBJECT
public:
    enum PtzMoveDirections { Home = 0, Up = 2, Down = 4, Left = 8, Right = 16 };
    Q_ENUM(PtzMoveDirections)

    enum Flags { NotPaid = 2, Offline = 4 };
    enum Rights { OwnerRight = 1, LiveRight = 2, ArchiveRight = 4, PtzRight = 8 };

    Camera(Server* server, const QJsonObject& json);
    // A placeholder for a camera that a layout names before the roster has it:
    // not existing until the roster brings its data.
    Camera(Server* server, camera_id_t id);
    ~Camera() override;

    void fromJson(const QJsonObject& json);
    void update(const Camera& other);

    Server* server() const;
    QSize size() const;
    QString vcodec() const;
    int rotation() const;
    void setRotation(int rotation);
    bool mirror() const;
    void setMirror(bool mirror);
    int flags() const;
    void setFlags(int flags);
    void setOnline(bool online);
    int rights() const;
    int streams() const;
    int aspectMode() const;
    void setAspectMode(int mode);
    bool ptzSupported() const;
    QList<int> ptzPatrols() const;
    // The routes a patrols answer switches on: keys that are numbers, with true.
    static QList<int> enabledPatrols(const QJsonObject& routes);
    int layoutsCount() const;

    bool isLocal() const;
    bool isPaid() const;
    bool isOnline() const;
    bool isAvailable() const override;
    bool hasOwnerRight() const;
    bool hasLiveRight() const;
    bool hasArchiveRight() const;
    bool hasPtzRight() const;

    QString fileName() const;
    QPixmap transformedPreview() const;
    // A picture of this camera turned and mirrored as a cell shows it; the same
    // picture, not a copy, when the camera is neither turned nor mirrored.
    QImage shownPicture(const QImage& picture) const;
    QString liveUrl(int quality) const;
    // Empty when the day of start holds no records: there is nothing to play.
    QString archiveUrl(const QDateTime& start, int quality, int speed) const;
    QString exportUrl(const QDateTime& start, const QDateTime& end) const;
    // Why the camera cannot be watched, empty when it can: a few words for
    // where room is short (a card's title), and whole sentences for the cell,
    // with a link to the pricing plan when it is not paid for (rich text then).
    QString statusText() const;
    QString statusMessage() const;
    // The patrol route this program last sent the camera on, 0 for none. A
    // move, a zoom or a stop from here ends it: a camera leaves its route for
    // any manual command.
    int runningPatrol() const;

    void addedToLayout();
    void removedFromLayout();

    bool hasRecords(const QDate& date) const;
    QList<ArchiveRecord> records(const QDate& date) const;
    int recordIndexAt(const QDateTime& t) const;
    QDateTime nextRecordTime(const QDateTime& t) const;
    QMap<QDate, int> calendar() const;

    void updatePreview() override;

public slots:
    void requestTimeline(QDate date);
    void requestCalendar(QDate start, QDate end);
    void ptzMove(API::Camera::PtzMoveDirections direction);
    void ptzZoom(int zoomLevel);
    void ptzPatrol(int route);
    // There is no request that only stops a patrol: the camera is sent home,
    // which takes it off its route.
    void stopPtzPatrol();
    void requestPtzPatrols();
    void saveRotation();

signals:
    void flagsChanged();
    void rightsChanged();
    void previewUpdatingStarted();
    void recordsChanged(QDate date);
    void recordsError();
    void calendarChanged(QDate start, QDate end);
    void calendarError();
    void orientationChanged();
    void ptzDone();
    void ptzPatrolsChanged();
    void cameraNameChanged(QString name);
    void cameraRemoved();
    void runningPatrolChanged();

protected:
    void onNameChanged() override;
    void onExistsChanged(bool exists) override;

private:
    QString streamUrl(const QString& kind, int quality) const;
    class CloudAPIClient* request();
    class CloudAPIClient* ptzRequest(int route);
    void setRunningPatrol(int route);

    std::shared_ptr<Internal::CameraPrivate> d;
};

} // namespace OrvantaClient::API

Q_DECLARE_METATYPE(OrvantaClient::API::Camera::PtzMoveDirections)
