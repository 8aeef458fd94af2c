#pragma once

#include "model/apitypes.h"
#include "model/camera.h"

#include <QDateTime>
#include <QImage>
#include <QWidget>
#include <memory>

class QMenu;

namespace OrvantaClient::GUI::Player {

namespace Internal {
class VideoWidgetPrivate;
}

class HealthOverlay;

// One camera in one cell of a layout grid. It runs a stream worker through the
// worker protocol, paints the pictures the worker leaves in the shared frame
// file, restarts a worker whose picture froze, and carries the cell's small
// interactions: snapshot, sound, quality, PTZ, drag and drop, context menu.
class VideoWidget : public QWidget
{
    Q_OBJECT
public:
    enum State { Idle = 0, Starting = 1, Playing = 2, Paused = 3, PausedAsNoRecord = 4, PausedAsSyncArchive = 5,
                 Error = 255 };

    explicit VideoWidget(API::CameraPtr camera, QWidget* parent = nullptr);
    ~VideoWidget() override;

    API::CameraPtr camera() const;
    int state() const;
    static QString stateText(int state);
    // The height of a cell's top and bottom bars, which overlays keep clear of.
    static int barHeight(const QWidget* cell);
    bool isArchiveMode() const;
    int quality() const;
    int speed() const;
    int reloads() const;
    bool hasFrame() const;
    // Pictures the workers have announced since the widget was made, for
    // measuring; several may be shown as one when they come faster than paints.
    qint64 frameCount() const;
    QImage image() const;
    QRect videoRect() const;
    QDateTime playbackTime() const;
    QString frameFileName() const;
    QString message() const; // the text shown over the picture, empty when none
    // The cell's menu (its context menu and the one of its options button): the
    // grid adds what concerns the cell within it.
    QMenu* menu() const;

    // What the stream health overlay shows: the size of the worker's pictures
    // (invalid before the first), the pictures painted (each counted once), and
    // the worker's program name (empty when none runs).
    QSize pictureSize() const;
    qint64 shownFrameCount() const;
    QString workerName() const;
    // The overlay over this cell, made on demand and gone when hidden.
    void setHealthShown(bool shown);
    HealthOverlay* healthOverlay() const;

    // Digital zoom of the cell's picture: 1 is the whole picture. A zoomed cell
    // pans with a drag instead of moving to another cell, and clicks in it do not
    // steer a PTZ camera (its pad does).
    double zoomFactor() const;
    bool isZoomed() const;
    // The shown part of the picture, in fractions of the whole.
    QRectF zoomRegion() const;
    void zoomAt(double factor, QPointF viewPoint);
    // The stream's own picture size, of which the picture drawn may be a reduction.
    QSize sourceSize() const;
    // The least quality from `least` up whose stream holds as many pixels as the
    // zoomed view shows (a stream not yet seen is given a try); `least` unzoomed.
    int detailQuality(int least) const;

    // Brings archive playback in step with the layout's common time; an
    // invalid time (no cell plays) lets a waiting cell go on.
    void syncArchive(const QDateTime& reference);

    // Where the worker programs are (the application's folder unless a test
    // sets another), and the watchdog's periods in milliseconds.
    void setWorkerDirectory(const QString& directory);
    void setTimings(int watchdogMs, int graceMs, int frozenAfterMs, int retryAfterMs, int noFrameMs);

    // Where the picture goes in a widget of the given size, and which part of
    // the picture is shown there (crop mode), for each aspect mode.
    static QRect targetRect(const QSize& widget, double aspect, int aspectMode, const QSize& image, QRect* source);

signals:
    void error();
    void playbackTimeChanged();
    void closed(API::LayoutCellPoint position);
    void clicked(API::CameraPtr camera);
    void doubleClicked(API::LayoutCellPoint position);
    void swapRequested(API::LayoutCellPoint source, API::LayoutCellPoint destination);
    void openCamera(API::CameraPtr camera, API::LayoutCellPoint position);
    void snapshotSaved(QString path);
    void snapshotError();
    void zoomChanged();
    void sourceSizeChanged();

public slots:
    bool play(QString url);
    bool playLive();
    bool playLive(int quality);
    bool playArchive(QDateTime start, int speed);
    bool playArchive(QDateTime start, int speed, int quality);
    void setArchiveMode(bool archivePlaying);
    void stop();
    void pause();
    void unpause();
    void noRecord();
    void syncWait();
    void setSoundVolume(int volume);
    void enableSound(bool enable);
    void setBaseTime(QDateTime dateTime);
    void setTime(QDateTime dateTime);
    void setCameraName(QString name);
    void setActive(bool isActive);
    void setPosition(API::LayoutCellPoint point);
    void setSpan(API::LayoutCellSize size);
    void setQuality(int quality);
    void ptzMoveOnClick();
    void ptzMove(API::Camera::PtzMoveDirections direction);
    void ptzZoom(int factor);
    void ptzPatrol(int route);
    void ptzDone();
    void showContextMenu(QPoint pos);
    void zoomIn();
    void zoomOut();
    void resetZoom();
    void takeSnapshot();

private slots:
    void readPlayerState();
    void onRecordsChanged(QDate date);
    void readPlayerErrors();
    void clearImage();
    void orientationChanged();
    void on_cameraScreenshotButton_clicked();
    void on_closeButton_clicked();
    void on_actionClose_triggered();
    void on_actionSettings_triggered();
    void onFlagsChanged();
    void onCameraInvalidated();
    void updatePtzPatrols();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class Internal::VideoWidgetPrivate;
    std::shared_ptr<Internal::VideoWidgetPrivate> d;
};

} // namespace OrvantaClient::GUI::Player
