#include "videowidget.h"

#include "digitalzoom.h"
#include "dragdata.h"
#include "healthoverlay.h"
#include "patrolbadge.h"
#include "ptzwidget.h"
#include "reconnectlabel.h"
#include "snapshotgrabber.h"
#include "zoomoverview.h"
#include "core/cellnames.h"
#include "core/constants.h"
#include "core/layouttotals.h"
#include "core/settings.h"
#include "core/storagepaths.h"
#include "gui/dialogs/camerasettingsdialog.h"
#include "gui/keys/keyboardshortcuts.h"
#include "gui/widgets/playernotification.h"
#include "gui/widgets/spinnerwidget.h"
#include "model/layout.h"
#include "model/server.h"
#include "player/framefile.h"
#include "player/statusreader.h"
#include "stores/roster.h"

#include <QApplication>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGestureEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QPropertyAnimation>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <QtMath>
#include <tuple>

namespace OrvantaClient::GUI::Player {

namespace Internal {

class VideoWidgetPrivate
{
public:
    explicit VideoWidgetPrivate(VideoWidget* q) : q(q), reader(FrameFile::capacity) {}

    void setState(int newState);
    void sendCommand(const QString& command);
    int effectiveVolume() const { return active && soundEnabled ? volume : 0; }
    QString volumeCommand() const { return QStringLiteral("volume %1").arg(effectiveVolume()); }
    void showMessage(const QString& text);
    void hideMessage();
    QString unavailableText() const;
    void holdPicture();
    void releaseHeldPicture();
    void buildImage();
    QDateTime archiveTimeAt(qint64 streamMs) const;
    void workerFailed(const QDateTime& frozenSince = QDateTime());
    void watchdog();
    void updatePtzVisibility();
    void showControls(bool show);
    // The top bar carries the camera's name: kept in view when the user asks for it.
    bool topBarShown() const { return controlsShown || App::CellNames::instance().alwaysShown(); }
    void updateAspect();
    QSize fitBox() const;
    void updateFit();
    void prepareWorker();
    void configureWorker(QProcess* worker, const QString& stream, const QString& frameName, bool framepump) const;
    bool isFramepump() const;
    void saveSnapshot(const QImage& picture, const QDateTime& time, const DigitalZoom& zoomed);
    QImage shownPart(const QImage& picture, const DigitalZoom& zoomed) const;
    QPointF viewPoint(const QPointF& pos) const;
    void zoomChanged();
    void animateZoom(double steps, QPointF view);
    void updateOverview(const QRect& source);
    void learnSource(const QSize& size);
    void grabSnapshot();
    void drawFullSnapshot();
    void takeFullSnapshot();
    void updateReconnecting();

    VideoWidget* q;
    QString url;
    int state = VideoWidget::Idle;
    QDateTime lastRequestTime;
    int restartGraceMs = 3000;
    QDateTime freezeTime;
    int frozenAfterMs = 10000;
    QDateTime unpauseTime;
    QDateTime unpausePlaybackTime;
    int reloads = 0;
    int maxReloads = 3;
    bool archiveMode = false;
    QProcess* process = nullptr;
    QStringList pendingCommands;
    FrameFile frameFile;
    StatusReader reader;
    QString workerState = QStringLiteral("unknown");
    // The worker has said its stream ended or failed ("7"); libvlc may
    // state "stopped" after it, so the last state alone does not tell.
    bool workerEnded = false;
    bool hasFrame = false;
    // The last picture of the worker before, held (a copy of its own) until the
    // new worker delivers: a change of stream does not go dark in between.
    bool heldPicture = false;
    QTimer* holdSpinner = nullptr;
    qint64 frameCount = 0;
    // Pictures painted, each once however often it is painted.
    qint64 shownFrames = 0;
    qint64 lastShownFrame = -1;
    QImage image;
    // The workers leave the alpha byte as they like (one of libvlc's converters
    // writes 0): the pictures are opaque, so the bytes are read without alpha.
    QImage::Format pixelFormat = QImage::Format_RGB32;
    int videoWidth = 320;
    int videoHeight = 240;
    double aspect = 4.0 / 3.0;
    int volume = 0;
    bool soundEnabled = true;
    int speed = 1;
    int quality = 2;
    QDateTime playbackTime;
    QDateTime absoluteTime;
    QDateTime baseTime;
    qint64 timeOffsetMs = 0;
    QDate recordsAwaited; // archive asked for before the day's records came
    API::CameraPtr camera;
    QDateTime lastMouseMove = QDateTime::currentDateTime();
    QDateTime lastFrameTime;
    bool ptzClickPending = false;
    bool ptzPending = false;
    bool active = false;
    QPoint pressPos;
    QPoint mousePos;
    API::Camera::PtzMoveDirections ptzDirection = API::Camera::Home;
    API::LayoutCellPoint position;
    API::LayoutCellSize span;
    bool dropHighlight = false;
    bool hovered = false;
    bool menuShown = false;
    QRect videoRect;
    QRectF videoSource;
    QRect wholeSource; // what the cell shows of the picture unzoomed
    // The stream's own picture size (its orientation), and the last seen at each
    // quality: what a zoomed view can get from each stream.
    QSize sourceSize;
    QSize sourceSizes[3];
    DigitalZoom zoom;
    ZoomOverview* overview = nullptr;
    // Wheel and keys zoom in a short glide rather than a jump.
    QVariantAnimation* zoomAnimation = nullptr;
    QPointF zoomAnchor;
    bool panning = false;
    QPoint panFrom;
    // A snapshot waiting for the worker to draw the picture at the stream's size.
    bool fullSnapshotPending = false;
    QDateTime fullSnapshotTime;
    DigitalZoom fullSnapshotZoom;
    // The box the worker was last asked to fit its pictures to.
    QSize sentFit;

    QString workerDirectory = QCoreApplication::applicationDirPath();
    QTimer* retryTimer = nullptr;
    int retryAfterMs = 30000;
    int noFrameMs = 10000;
    int snapshotTimeoutMs = 15000;
    SnapshotGrabber* grabber = nullptr;
    int watchdogTimer = 0;
    bool controlsShown = true;

    QWidget* topBar = nullptr;
    QWidget* bottomBar = nullptr;
    QLabel* nameLabel = nullptr;
    QLabel* timeLabel = nullptr;
    QLabel* messageLabel = nullptr;
    SpinnerWidget* spinner = nullptr;
    GUI::PtzWidget* ptz = nullptr;
    QMenu* menu = nullptr;
    ReconnectLabel* reconnectLabel = nullptr;
    QPointer<HealthOverlay> health;
};

bool VideoWidgetPrivate::isFramepump() const
{
    return camera && camera->isLocal() && !archiveMode
        && App::Settings::instance().value(QStringLiteral("experimental/framepump"), false).toBool();
}

void VideoWidgetPrivate::prepareWorker()
{
    const bool framepump = isFramepump();
    configureWorker(process, url, frameFile.name(), framepump);
    // A light stream decodes on one thread: the threads libvlc would add by
    // default cost a cell of a wall more in wake-ups and memory than they save.
    if (!framepump && quality < 2)
        process->setArguments(process->arguments() << QStringLiteral(":avcodec-threads=1"));
}

// Every local user can read a command line, only we can read the worker's
// environment: the stream (it carries a local server's password or the session
// id) and the proxy password go there, and the worker finds "-" in the stream's
// place on its command line.
void VideoWidgetPrivate::configureWorker(QProcess* worker, const QString& stream, const QString& frameName,
                                         bool framepump) const
{
    const QString streamVariable = QStringLiteral("WATCHDESK_STREAM");
    const QString proxyPasswordVariable = QStringLiteral("WATCHDESK_PROXY_PASSWORD");
    const QString fromEnvironment = QStringLiteral("-");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(proxyPasswordVariable);
    QStringList arguments;
    if (framepump) {
        const QUrl live(stream);
        QString path = stream;
        path.replace(QRegularExpression(QStringLiteral(".*/flv")), QStringLiteral("/flv"));
        environment.insert(streamVariable, path + QStringLiteral("&type=su"));
        arguments = QStringList{live.host(), QString::number(live.port(80)), fromEnvironment, frameName};
    } else {
        environment.insert(streamVariable, stream);
        arguments = QStringList{fromEnvironment, frameName};
        App::Settings& settings = App::Settings::instance();
        const QString host = settings.value(QStringLiteral("proxy/host")).toString();
        if (!camera->isLocal() && settings.value(QStringLiteral("proxy/useProxy"), false).toBool() && !host.isEmpty()) {
            const int port = settings.intValue(QStringLiteral("proxy/port"), 0, 0, 65535);
            const QString user = settings.value(QStringLiteral("proxy/username")).toString();
            const QString password = settings.value(QStringLiteral("proxy/password")).toString();
            // One arg() call each: a "%1" typed into a setting must stay as typed.
            arguments << (user.isEmpty()
                              ? QStringLiteral(":http-proxy=http://%1:%2/").arg(host, QString::number(port))
                              : QStringLiteral(":http-proxy=http://%1@%2:%3/").arg(user, host, QString::number(port)));
            if (!password.isEmpty())
                environment.insert(proxyPasswordVariable, password);
        }
    }
    worker->setProgram(workerDirectory
                       + (framepump ? QStringLiteral("/framepump") : QStringLiteral("/clipworker")));
    worker->setArguments(arguments);
    worker->setProcessEnvironment(environment);
}

void VideoWidgetPrivate::setState(int newState)
{
    if (newState == state)
        return;
    qDebug() << "State changed:" << VideoWidget::stateText(state) << "->" << VideoWidget::stateText(newState)
             << "camera:" << (camera ? camera->name() : QString());
    state = newState;
    // The pad is offered only while the picture is live and moving, so it
    // follows every change: hidden on a failure, back on recovery.
    updatePtzVisibility();
    updateReconnecting();
}

// A live cell that failed waits for the watchdog's next reload, or plays one:
// it says which of the reloads allowed before it gives up.
void VideoWidgetPrivate::updateReconnecting()
{
    if (!reconnectLabel)
        return;
    int attempt = 0;
    if (!archiveMode && state == VideoWidget::Error && reloads < maxReloads)
        attempt = reloads + 1;
    else if (!archiveMode && state == VideoWidget::Starting && reloads > 0)
        attempt = reloads;
    reconnectLabel->setAttempt(attempt, maxReloads);
}

void VideoWidgetPrivate::sendCommand(const QString& command)
{
    if (process->state() == QProcess::Running) {
        process->write(command.toLatin1() + '\n');
        return;
    }
    pendingCommands.append(command);
}

void VideoWidgetPrivate::showMessage(const QString& text)
{
    q->clearImage();
    messageLabel->setText(text);
    messageLabel->show();
    messageLabel->raise();
}

void VideoWidgetPrivate::hideMessage()
{
    messageLabel->clear();
    messageLabel->hide();
}

// Why the camera cannot be played now. Without the service every cloud camera
// counts as offline (the roster marks them so): the cell says what is really
// going on, and plays again by itself once the roster has reached the service.
QString VideoWidgetPrivate::unavailableText() const
{
    if (!camera->isLocal() && !App::Roster::instance()->isServiceReachable())
        return VideoWidget::tr("No connection to the service, reconnecting...");
    return camera->statusMessage();
}

void VideoWidgetPrivate::saveSnapshot(const QImage& whole, const QDateTime& time, const DigitalZoom& zoomed)
{
    const QImage picture = shownPart(whole, zoomed);
    const QString folder = App::StoragePaths::exportPath();
    QDir().mkpath(folder);
    // The size goes into the name: a picture of a reduced stream (the best
    // one could not be had) is not passed off as the camera's full picture.
    const QString name = QStringLiteral("snapshot ") + camera->fileName() + QLatin1Char('-')
        + time.toString(QStringLiteral("dd_MM_yy_hh_mm_ss"))
        + QStringLiteral("-%1x%2.png").arg(picture.width()).arg(picture.height());
    if (!picture.save(QDir(folder).filePath(name))) {
        qDebug() << "Could not save snapshot" << QDir(folder).filePath(name);
        emit q->snapshotError();
        return;
    }
    emit q->snapshotSaved(QDir(folder).absolutePath());
}

// What a zoomed cell shows of a picture of any size: the snapshot of a zoomed
// cell is the part the user looks at, at the resolution of the picture given.
QImage VideoWidgetPrivate::shownPart(const QImage& picture, const DigitalZoom& zoomed) const
{
    if (!zoomed.isZoomed() || picture.isNull())
        return picture;
    QRect source;
    VideoWidget::targetRect(q->size(), aspect, camera->aspectMode(), picture.size(), &source);
    return picture.copy(zoomed.shownPart(QRectF(source)).toAlignedRect() & picture.rect());
}

QPointF VideoWidgetPrivate::viewPoint(const QPointF& pos) const
{
    if (videoRect.isEmpty())
        return QPointF(0.5, 0.5);
    return QPointF(qBound(0.0, (pos.x() - videoRect.x()) / videoRect.width(), 1.0),
                   qBound(0.0, (pos.y() - videoRect.y()) / videoRect.height(), 1.0));
}

void VideoWidgetPrivate::zoomChanged()
{
    q->update();
    emit q->zoomChanged();
}

void VideoWidgetPrivate::animateZoom(double steps, QPointF view)
{
    // Steps taken while a glide runs add to where it is going.
    const bool gliding = zoomAnimation->state() == QAbstractAnimation::Running;
    const double from = gliding ? zoomAnimation->endValue().toDouble() : zoom.factor();
    const double target = qBound(1.0, from * qPow(DigitalZoom::stepFactor, steps), DigitalZoom::maximumFactor);
    zoomAnimation->stop();
    zoomAnchor = view;
    zoomAnimation->setStartValue(zoom.factor());
    zoomAnimation->setEndValue(target);
    zoomAnimation->start();
}

void VideoWidgetPrivate::updateOverview(const QRect& source)
{
    const QRect place = zoom.isZoomed() && hasFrame
        ? ZoomOverview::placement(q->size(), QSizeF(source.size()), topBar->height())
        : QRect();
    if (place.isEmpty()) {
        overview->hide();
        return;
    }
    // No repaint asked for here: the overview lies inside the area being painted.
    overview->setView(image, source, zoom.region(), zoom.factor());
    if (overview->geometry() != place)
        overview->setGeometry(place);
    if (!overview->isVisible()) {
        overview->show();
        overview->raise();
    }
}

void VideoWidgetPrivate::learnSource(const QSize& size)
{
    if (size == sourceSize && sourceSizes[quality] == size)
        return;
    sourceSize = size;
    sourceSizes[quality] = size;
    if (!heldPicture)
        updateAspect();
    if (zoom.isZoomed())
        emit q->sourceSizeChanged();
}

// Recordings are of one exact moment: rather than another worker, the cell's own
// draws its next picture (or the one it holds, paused) at the stream's size.
void VideoWidgetPrivate::drawFullSnapshot()
{
    fullSnapshotPending = true;
    fullSnapshotTime = playbackTime;
    fullSnapshotZoom = zoom;
    sentFit = sourceSize;
    sendCommand(QStringLiteral("fit %1 %2").arg(sourceSize.width()).arg(sourceSize.height()));
    QTimer::singleShot(snapshotTimeoutMs, q, [this] {
        if (!fullSnapshotPending)
            return;
        qDebug() << "No full-size picture for the snapshot, saved as shown, camera:" << camera->name();
        takeFullSnapshot();
    });
}

void VideoWidgetPrivate::takeFullSnapshot()
{
    fullSnapshotPending = false;
    saveSnapshot(image.copy(), fullSnapshotTime, fullSnapshotZoom);
    updateFit();
}

void VideoWidgetPrivate::grabSnapshot()
{
    const QDateTime time = playbackTime;
    const QImage shown = image.copy(); // the mapping goes on changing
    const DigitalZoom zoomed = zoom;
    grabber = new SnapshotGrabber(camera, snapshotTimeoutMs, q);
    configureWorker(grabber->process(), camera->liveUrl(2), grabber->frameFileName(), false);
    // Whatever comes of it, a snapshot is saved: the picture shown is the fallback.
    QObject::connect(grabber, &SnapshotGrabber::grabbed, q, [this, time, zoomed](const QImage& picture) {
        grabber = nullptr;
        saveSnapshot(picture, time, zoomed);
    });
    QObject::connect(grabber, &SnapshotGrabber::failed, q, [this, time, shown, zoomed] {
        grabber = nullptr;
        saveSnapshot(shown, time, zoomed);
    });
    qDebug() << "Snapshot from the best stream, camera:" << camera->name();
    if (!grabber->start()) {
        delete grabber;
        grabber = nullptr;
        saveSnapshot(shown, time, zoomed);
    }
}

void VideoWidgetPrivate::updateAspect()
{
    // The shape is the stream's own where the picture is that stream drawn
    // smaller: a picture fitted to the cell is rounded to whole pixels, and a
    // shape taken from it would ask the worker for another size, a pixel off,
    // at every picture (and each change of size tears the pictures between).
    QSizeF shape(videoWidth, videoHeight);
    if (sourceSize.isValid() && videoWidth > 0
        && qAbs(double(sourceSize.height()) * videoWidth / sourceSize.width() - videoHeight) <= 1.5)
        shape = sourceSize;
    const int rotation = camera ? camera->rotation() : 0;
    aspect = rotation % 180 == 0 ? shape.width() / shape.height() : shape.height() / shape.width();
}

// The size the whole picture is drawn at, in device pixels and in the stream's own
// orientation: the worker scales to it, so the cell paints without scaling.
QSize VideoWidgetPrivate::fitBox() const
{
    QSizeF box = q->size();
    if (hasFrame && !image.isNull() && !wholeSource.isEmpty() && !videoRect.isEmpty()) {
        box = QSizeF(double(image.width()) * videoRect.width() / wholeSource.width(),
                     double(image.height()) * videoRect.height() / wholeSource.height())
            * zoom.factor();
    }
    const int rotation = camera ? camera->rotation() : 0;
    if (rotation % 180 != 0)
        box.transpose();
    box *= q->devicePixelRatioF();
    return QSize(qCeil(box.width() - 0.01), qCeil(box.height() - 0.01));
}

void VideoWidgetPrivate::updateFit()
{
    if (fullSnapshotPending)
        return; // the worker draws at full size until the snapshot is taken
    const QSize box = fitBox();
    if (box == sentFit || box.isEmpty())
        return;
    sentFit = box;
    sendCommand(QStringLiteral("fit %1 %2").arg(box.width()).arg(box.height()));
}

void VideoWidgetPrivate::holdPicture()
{
    holdSpinner->stop();
    if (!hasFrame || image.isNull()) {
        spinner->start();
        return;
    }
    // The picture wraps the mapping, which the new worker overwrites with
    // pictures of another size before it says so: the cell keeps a copy.
    if (!heldPicture)
        image = image.copy();
    heldPicture = true;
    // A stream that keeps the user waiting says so after a while.
    holdSpinner->start();
}

void VideoWidgetPrivate::releaseHeldPicture()
{
    holdSpinner->stop();
    if (!heldPicture)
        return;
    heldPicture = false;
    updateAspect();
}

void VideoWidgetPrivate::buildImage()
{
    // The picture is built over the mapping: never one that reaches past it.
    if (!frameFile.isOpen() || videoWidth <= 0 || videoHeight <= 0
        || qint64(videoWidth) * videoHeight * 4 > FrameFile::capacity)
        return;
    image = camera->shownPicture(QImage(frameFile.data(), videoWidth, videoHeight, videoWidth * 4, pixelFormat));
    hasFrame = true;
    // In UTC: the local time would read the time zone file at every picture.
    lastFrameTime = QDateTime::currentDateTimeUtc();
}

QDateTime VideoWidgetPrivate::archiveTimeAt(qint64 streamMs) const
{
    qint64 remaining = streamMs * speed + timeOffsetMs;
    if (!archiveMode || !camera || remaining <= 0)
        return baseTime.addMSecs(remaining);
    // The server plays the records one after the other and leaves the gaps
    // between them out: the stream's time is counted over recorded time only.
    QDateTime time = baseTime;
    for (const API::ArchiveRecord& record : camera->records(baseTime.date())) {
        if (record.end <= time)
            continue;
        if (time < record.start)
            time = record.start;
        const qint64 length = time.msecsTo(record.end);
        if (remaining < length)
            return time.addMSecs(remaining);
        remaining -= length;
        time = record.end;
    }
    return time.addMSecs(remaining);
}

void VideoWidgetPrivate::workerFailed(const QDateTime& frozenSince)
{
    if (!archiveMode) {
        if (!freezeTime.isValid())
            freezeTime = frozenSince.isValid() ? frozenSince : QDateTime::currentDateTime();
        // Streams of the cloud fail first when the service is gone; the
        // roster finds out and says so at once, not at its next reload.
        if (!camera->isLocal())
            App::Roster::instance()->checkServiceNow();
    } else {
        q->stop();
    }
    setState(VideoWidget::Error);
    emit q->error();
}

void VideoWidgetPrivate::watchdog()
{
    const QDateTime now = QDateTime::currentDateTime();
    if (process->state() == QProcess::Running)
        sendCommand(QStringLiteral("ping"));

    // A worker that is gone, or a live picture that never came or stopped
    // coming, counts as a reported failure, so the reload below brings it back.
    if (!archiveMode && (state == VideoWidget::Starting || state == VideoWidget::Playing)) {
        const QDateTime lastSign = lastFrameTime.isValid() && lastFrameTime > lastRequestTime ? lastFrameTime
                                                                                               : lastRequestTime;
        const bool ended = process->state() == QProcess::NotRunning;
        if (ended || (lastSign.isValid() && lastSign.msecsTo(now) > noFrameMs)) {
            qDebug() << "Worker of camera" << camera->name() << "stopped delivering pictures";
            // A silent worker has shown nothing since its last sign: that is
            // how long the picture has been frozen, and a stream that hangs
            // (a server that accepts and never answers) is not waited for twice.
            workerFailed(ended ? QDateTime() : lastSign);
        }
    }

    if (!archiveMode && state == VideoWidget::Error) {
        // A frozen picture may come back by itself and is given time. A worker
        // that played and then ended (killed, crashed, its stream cut) never
        // brings one back and is replaced at once; one that never played (the
        // server refuses, answers an error) is tried again only after that
        // time, so a failing server is not asked every beat.
        const bool ended = process->state() == QProcess::NotRunning || workerEnded;
        const bool played = lastFrameTime.isValid() && lastFrameTime > lastRequestTime;
        const bool frozen = lastRequestTime.isValid() && lastRequestTime.msecsTo(now) > restartGraceMs
            && freezeTime.isValid() && ((ended && played) || freezeTime.msecsTo(now) > frozenAfterMs);
        if (reloads < maxReloads) {
            if (frozen) {
                const int count = reloads;
                qDebug() << "Camera" << camera->name() << "freezed and reload by timer. Reloads count:" << count + 1;
                q->playLive();
                reloads = count + 1;
                updateReconnecting();
            }
        } else {
            q->stop();
            showMessage(VideoWidget::tr("No video available"));
            qDebug() << "reload after 30 seconds, camera:" << camera->name();
            retryTimer->start(retryAfterMs);
        }
    }

    if (lastMouseMove.msecsTo(now) >= 4000 && !(ptz->isVisible() && ptz->geometry().contains(mousePos)))
        showControls(false);

    if (archiveMode && unpauseTime.isValid() && playbackTime == unpausePlaybackTime
        && unpauseTime.msecsTo(now) > 5000) {
        unpauseTime = QDateTime();
        q->stop();
    }
}

void VideoWidgetPrivate::updatePtzVisibility()
{
    const bool canSteer = camera && camera->ptzSupported() && camera->hasPtzRight();
    const QSize hint = ptz->minimumSizeHint().expandedTo(ptz->minimumSize());
    const bool fits = hint.width() < q->width() / 4 && hint.height() < q->height() / 3;
    const bool visible = !archiveMode && (state == VideoWidget::Starting || state == VideoWidget::Playing) && canSteer
        && fits;
    ptz->setVisible(visible);
    if (visible) {
        ptz->resize(hint);
        ptz->QWidget::move(q->width() - hint.width() - 8, q->height() - hint.height() - bottomBar->height() - 8);
        ptz->raise();
    }
}

void VideoWidgetPrivate::showControls(bool show)
{
    if (show == controlsShown)
        return;
    controlsShown = show;
    q->setCursor(show ? Qt::ArrowCursor : Qt::BlankCursor);
    // The bars slide in from the edges and back out of sight.
    const int h = topBar->height();
    const QPoint topIn(0, 0), topOut(0, -h);
    const QPoint bottomIn(0, q->height() - h), bottomOut(0, q->height());
    for (auto [bar, in, out] : {std::make_tuple(topBar, topIn, topOut), std::make_tuple(bottomBar, bottomIn, bottomOut)}) {
        if (bar == topBar && !show && topBarShown())
            continue;
        auto* slide = new QPropertyAnimation(bar, "pos", bar);
        slide->setDuration(150);
        slide->setStartValue(show && !bar->isVisible() ? out : bar->pos());
        slide->setEndValue(show ? in : out);
        if (show)
            bar->show();
        else
            // Copied into the lambda: clang before C++20 cannot capture a structured binding.
            QObject::connect(slide, &QPropertyAnimation::finished, bar, [this, bar = bar] {
                if (!controlsShown && !(bar == topBar && topBarShown()))
                    bar->hide();
            });
        slide->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

} // namespace Internal

using Internal::VideoWidgetPrivate;

namespace {

QPushButton* barButton(const QString& objectName, const QString& text, const QString& toolTip)
{
    auto* button = new QPushButton(text);
    button->setObjectName(objectName);
    button->setToolTip(toolTip);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    // A click on a cell's button leaves the keys to the window's shortcuts.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

VideoWidget::VideoWidget(API::CameraPtr camera, QWidget* parent)
    : QWidget(parent)
    , d(std::make_shared<VideoWidgetPrivate>(this))
{
    API::registerMetaTypes();
    d->camera = camera;
    setMouseTracking(true);
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(80, 60);

    const QString barStyle = QStringLiteral("background-color: rgba(0, 0, 0, 200); color: white;");
    d->topBar = new QWidget(this);
    d->topBar->setStyleSheet(barStyle);
    auto* top = new QHBoxLayout(d->topBar);
    top->setContentsMargins(6, 2, 2, 2);
    d->nameLabel = new QLabel(d->topBar);
    top->addWidget(d->nameLabel, 1);
    QPushButton* closeButton = barButton(QStringLiteral("closeButton"), QStringLiteral("✕"), tr("Close"));
    top->addWidget(closeButton);

    d->bottomBar = new QWidget(this);
    d->bottomBar->setStyleSheet(barStyle);
    auto* bottom = new QHBoxLayout(d->bottomBar);
    bottom->setContentsMargins(6, 2, 2, 2);
    d->timeLabel = new QLabel(d->bottomBar);
    bottom->addWidget(d->timeLabel, 1);
    QPushButton* snapshot = barButton(QStringLiteral("cameraScreenshotButton"), tr("Snapshot"),
                                      KeyboardShortcuts::toolTip(tr("Save a snapshot"), KeyboardShortcuts::Snapshot));
    QPushButton* options = barButton(QStringLiteral("optionsButton"), QStringLiteral("⋯"), tr("Options"));
    bottom->addWidget(snapshot);
    bottom->addWidget(options);

    d->messageLabel = new QLabel(this);
    d->messageLabel->setAlignment(Qt::AlignCenter);
    d->messageLabel->setWordWrap(true);
    d->messageLabel->setStyleSheet(QStringLiteral("color: white; font-size: 14px;"));
    d->messageLabel->hide();
    connect(d->messageLabel, &QLabel::linkActivated, this, [this] {
        if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
            QMetaObject::invokeMethod(app, "openAddingCameraTariffPage", Q_ARG(API::CameraPtr, d->camera));
    });

    d->spinner = new SpinnerWidget(this);
    d->spinner->hide();
    d->ptz = new GUI::PtzWidget(this);
    d->ptz->hide();
    d->reconnectLabel = new ReconnectLabel(this);
    if (camera)
        new PatrolBadge(camera, this);
    // The name's setting applies at once to the cells already open.
    connect(&App::CellNames::instance(), &App::CellNames::alwaysShownChanged, this, [this](bool kept) {
        if (d->controlsShown)
            return;
        // A slide out under way would take the bar away again.
        for (auto* slide : d->topBar->findChildren<QPropertyAnimation*>())
            slide->stop();
        d->topBar->move(0, kept ? 0 : -d->topBar->height());
        d->topBar->setVisible(kept);
    });
    d->overview = new ZoomOverview(this);
    d->overview->hide();
    connect(d->overview, &ZoomOverview::resetRequested, this, &VideoWidget::resetZoom);
    connect(d->overview, &ZoomOverview::centreRequested, this, [this](QPointF picture) {
        d->zoom.centreOn(picture);
        d->zoomChanged();
    });
    d->zoomAnimation = new QVariantAnimation(this);
    d->zoomAnimation->setDuration(120);
    d->zoomAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(d->zoomAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& factor) { zoomAt(factor.toDouble(), d->zoomAnchor); });
    grabGesture(Qt::PinchGesture);

    d->menu = new QMenu(this);
    QAction* settings = d->menu->addAction(tr("Settings"));
    QAction* close = d->menu->addAction(tr("Close"));
    connect(settings, &QAction::triggered, this, &VideoWidget::on_actionSettings_triggered);
    connect(close, &QAction::triggered, this, &VideoWidget::on_actionClose_triggered);
    connect(d->menu, &QMenu::aboutToShow, this, [this] { d->menuShown = true; update(); });
    connect(d->menu, &QMenu::aboutToHide, this, [this] {
        d->menuShown = false;
        d->showControls(false);
        update();
    });
    connect(options, &QPushButton::clicked, this, [this, options] { d->menu->popup(options->mapToGlobal(QPoint(0, 0))); });
    connect(closeButton, &QPushButton::clicked, this, &VideoWidget::on_closeButton_clicked);
    connect(snapshot, &QPushButton::clicked, this, &VideoWidget::on_cameraScreenshotButton_clicked);

    d->process = new QProcess(this);
    connect(d->process, &QProcess::readyReadStandardOutput, this, &VideoWidget::readPlayerState);
    connect(d->process, &QProcess::readyReadStandardError, this, &VideoWidget::readPlayerErrors);
    connect(d->process, &QProcess::stateChanged, this, [this](QProcess::ProcessState state) {
        qDebug() << d->process->program() << "state changed, new state:" << int(state) << "camera:" << d->camera->name();
    });
    connect(d->process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        qDebug() << d->process->program() << "ERROR:" << int(error) << "return code:" << d->process->exitCode()
                 << "exit status:" << int(d->process->exitStatus()) << "camera:" << d->camera->name();
    });
    // A worker may end on its own: keep-alive, a failing libvlc, the crash guard.
    connect(d->process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this](int exitCode, QProcess::ExitStatus status) {
                if (status == QProcess::NormalExit)
                    qDebug() << d->process->program() << "exited with code:" << exitCode << "camera:" << d->camera->name();
                else
                    qDebug() << d->process->program() << "ended by signal:" << exitCode << "camera:" << d->camera->name();
            });
    connect(d->process, &QProcess::started, this, [this] {
        for (const QString& command : qAsConst(d->pendingCommands))
            d->process->write(command.toLatin1() + '\n');
        d->pendingCommands.clear();
    });

    if (camera) {
        connect(camera.get(), &API::Camera::orientationChanged, this, &VideoWidget::orientationChanged);
        connect(camera.get(), &API::Camera::flagsChanged, this, &VideoWidget::onFlagsChanged);
        connect(camera.get(), &API::Camera::cameraNameChanged, this, &VideoWidget::setCameraName);
        connect(camera.get(), &API::Camera::cameraRemoved, this, &VideoWidget::onCameraInvalidated);
        connect(camera.get(), &API::Camera::ptzDone, this, &VideoWidget::ptzDone);
        connect(camera.get(), &API::Camera::ptzPatrolsChanged, this, &VideoWidget::updatePtzPatrols);
        connect(camera.get(), &API::Camera::recordsChanged, this, &VideoWidget::onRecordsChanged);
        setCameraName(camera->name());
        // The routes are set up on the server; ask once the cell shows a camera that can follow them.
        if (camera->ptzSupported() && camera->server() && camera->server()->ptzPatrolSupported())
            camera->requestPtzPatrols();
        else
            updatePtzPatrols();
    }
    connect(d->ptz, qOverload<API::Camera::PtzMoveDirections>(&GUI::PtzWidget::move), this, &VideoWidget::ptzMove);
    connect(d->ptz, &GUI::PtzWidget::zoom, this, &VideoWidget::ptzZoom);
    connect(d->ptz, &GUI::PtzWidget::patrol, this, &VideoWidget::ptzPatrol);
    connect(this, &QWidget::customContextMenuRequested, this, &VideoWidget::showContextMenu);
    // The retry after giving up on live video; any start or stop in between calls it off.
    d->retryTimer = new QTimer(this);
    d->retryTimer->setSingleShot(true);
    connect(d->retryTimer, &QTimer::timeout, this, qOverload<>(&VideoWidget::playLive));
    d->watchdogTimer = startTimer(2000);
    d->holdSpinner = new QTimer(this);
    d->holdSpinner->setSingleShot(true);
    d->holdSpinner->setInterval(1500);
    connect(d->holdSpinner, &QTimer::timeout, d->spinner, &SpinnerWidget::start);
    clearImage();
}

VideoWidget::~VideoWidget()
{
    disconnect(d->process, nullptr, this, nullptr);
    if (d->process->state() != QProcess::NotRunning) {
        d->process->kill();
        d->process->waitForFinished(3000);
    }
}

int VideoWidget::barHeight(const QWidget* cell)
{
    return qMax(24, cell->fontMetrics().height() + 8);
}

QString VideoWidget::stateText(int state)
{
    switch (state) {
    case Idle: return QStringLiteral("Idle");
    case Starting: return QStringLiteral("Starting");
    case Playing: return QStringLiteral("Playing");
    case Paused: return QStringLiteral("Paused");
    case PausedAsNoRecord: return QStringLiteral("Paused as no record");
    case PausedAsSyncArchive: return QStringLiteral("Paused as sync archive");
    case Error: return QStringLiteral("Error");
    default: return QStringLiteral("Unknown");
    }
}

API::CameraPtr VideoWidget::camera() const { return d->camera; }
int VideoWidget::state() const { return d->state; }
bool VideoWidget::isArchiveMode() const { return d->archiveMode; }
int VideoWidget::quality() const { return d->quality; }
int VideoWidget::speed() const { return d->speed; }
int VideoWidget::reloads() const { return d->reloads; }
bool VideoWidget::hasFrame() const { return d->hasFrame; }
qint64 VideoWidget::frameCount() const { return d->frameCount; }
QImage VideoWidget::image() const { return d->image; }
QRect VideoWidget::videoRect() const { return d->videoRect; }
QDateTime VideoWidget::playbackTime() const { return d->playbackTime; }
QString VideoWidget::frameFileName() const { return d->frameFile.name(); }
QString VideoWidget::message() const { return d->messageLabel->isVisible() ? d->messageLabel->text() : QString(); }
QSize VideoWidget::pictureSize() const { return d->hasFrame ? QSize(d->videoWidth, d->videoHeight) : QSize(); }
qint64 VideoWidget::shownFrameCount() const { return d->shownFrames; }
HealthOverlay* VideoWidget::healthOverlay() const { return d->health; }

QString VideoWidget::workerName() const
{
    return d->process->state() == QProcess::NotRunning ? QString() : QFileInfo(d->process->program()).fileName();
}

void VideoWidget::setHealthShown(bool shown)
{
    if (shown && !d->health)
        d->health = new HealthOverlay(this);
    else if (!shown)
        delete d->health;
}

void VideoWidget::setWorkerDirectory(const QString& directory)
{
    d->workerDirectory = directory;
}

void VideoWidget::setTimings(int watchdogMs, int graceMs, int frozenAfterMs, int retryAfterMs, int noFrameMs)
{
    killTimer(d->watchdogTimer);
    d->watchdogTimer = startTimer(watchdogMs);
    d->restartGraceMs = graceMs;
    d->frozenAfterMs = frozenAfterMs;
    d->retryAfterMs = retryAfterMs;
    d->noFrameMs = noFrameMs;
}

bool VideoWidget::play(QString url)
{
    d->retryTimer->stop();
    if (!d->camera->isPaid() || (!d->archiveMode && !d->camera->isOnline())) {
        d->showMessage(d->unavailableText());
        return false;
    }
    d->hideMessage();
    d->url = url;
    if (d->state != Idle) {
        d->url.clear();
        d->process->close();
        d->setState(Idle);
        d->url = url;
    }
    if (!d->frameFile.isOpen() && !d->frameFile.open())
        return false; // the frame file has said what failed
    d->reader.reset();
    // The new worker owes nothing to the one before: not its last state, not the
    // commands queued while none ran (a pause given then would hold the new one).
    // It starts from what the cell is now, and is heard at the cell's volume.
    d->workerState = QStringLiteral("unknown");
    d->workerEnded = false;
    d->pendingCommands = QStringList{d->volumeCommand()};
    d->sentFit = QSize();
    d->updateFit();
    d->holdPicture();
    d->setState(Starting);
    d->freezeTime = QDateTime();
    d->lastRequestTime = QDateTime::currentDateTime();
    d->lastFrameTime = QDateTime();
    d->reloads = 0;
    d->prepareWorker();
    d->process->start(QIODevice::ReadWrite);
    const bool started = d->process->waitForStarted(30000);
    if (!started)
        qDebug() << "Can't run play" << d->process->program() << d->camera->name();
    d->updatePtzVisibility();
    return started;
}

bool VideoWidget::playLive()
{
    d->archiveMode = false;
    d->recordsAwaited = QDate();
    d->speed = 1;
    setBaseTime(QDateTime::currentDateTime());
    if (!d->camera || !d->camera->exists()) {
        onCameraInvalidated();
        return false;
    }
    if (!d->camera->hasLiveRight()) {
        stop();
        d->showMessage(tr("Live feed is not shared"));
        qDebug() << "Play live: Live is not shared" << d->camera->name();
        return false;
    }
    qDebug() << "Play live camera" << d->camera->name();
    return play(d->camera->liveUrl(d->quality));
}

bool VideoWidget::playLive(int quality)
{
    d->quality = quality;
    return playLive();
}

bool VideoWidget::playArchive(QDateTime start, int speed)
{
    d->archiveMode = true;
    d->speed = speed;
    setBaseTime(start);
    d->playbackTime = start;
    if (!d->camera || !d->camera->exists()) {
        onCameraInvalidated();
        return false;
    }
    if (!d->camera->hasArchiveRight()) {
        stop();
        d->showMessage(tr("Archive is not shared"));
        return false;
    }
    // A camera just opened has not got the day's records yet: they are asked
    // for, and playback starts when they come, or says that there are none.
    const QDate day = start.date();
    if (!d->camera->hasRecords(day) && d->recordsAwaited != day) {
        stop();
        d->recordsAwaited = day;
        d->hideMessage();
        d->spinner->start();
        qDebug() << "Play archive: waiting for the records of" << day << "camera:" << d->camera->name();
        d->camera->requestTimeline(day);
        return false;
    }
    d->recordsAwaited = QDate();
    const QDateTime recorded = d->camera->nextRecordTime(start);
    if (!recorded.isValid()) {
        stop();
        d->showMessage(tr("No recordings"));
        return false;
    }
    // A moment in a gap plays from the next record: the server sends nothing
    // of the gap, so that is the time of the first picture and of the request.
    if (recorded != start) {
        setBaseTime(recorded);
        emit playbackTimeChanged();
    }
    qDebug() << "Play archive camera" << d->camera->name();
    return play(d->camera->archiveUrl(recorded, d->quality, speed));
}

bool VideoWidget::playArchive(QDateTime start, int speed, int quality)
{
    d->quality = quality;
    return playArchive(start, speed);
}

void VideoWidget::setArchiveMode(bool archivePlaying)
{
    d->archiveMode = archivePlaying;
    if (archivePlaying)
        d->retryTimer->stop(); // the retry is for live video
}

void VideoWidget::stop()
{
    d->retryTimer->stop();
    if (d->state != Idle) {
        d->url.clear();
        d->process->close();
        d->setState(Idle);
        d->spinner->stop();
    }
    d->holdSpinner->stop();
    emit playbackTimeChanged();
}

void VideoWidget::pause()
{
    d->sendCommand(QStringLiteral("pause"));
    d->setState(Paused);
}

void VideoWidget::noRecord()
{
    d->sendCommand(QStringLiteral("pause"));
    d->setState(PausedAsNoRecord);
    d->showMessage(tr("No recordings"));
}

void VideoWidget::syncWait()
{
    d->sendCommand(QStringLiteral("pause"));
    d->setState(PausedAsSyncArchive);
}

void VideoWidget::unpause()
{
    d->sendCommand(QStringLiteral("unpause"));
    d->setState(Playing);
    d->hideMessage();
    d->unpauseTime = QDateTime::currentDateTime();
    d->unpausePlaybackTime = d->playbackTime;
}

void VideoWidget::setSoundVolume(int volume)
{
    d->volume = volume;
    d->sendCommand(d->volumeCommand());
}

void VideoWidget::enableSound(bool enable)
{
    d->soundEnabled = enable;
    d->sendCommand(d->volumeCommand());
}

void VideoWidget::setBaseTime(QDateTime dateTime)
{
    d->baseTime = dateTime;
    setTime(dateTime);
    d->timeOffsetMs = 0;
}

void VideoWidget::setTime(QDateTime dateTime)
{
    d->playbackTime = dateTime;
    d->timeLabel->setText(dateTime.toString(QStringLiteral("hh:mm:ss")));
}

void VideoWidget::setCameraName(QString name)
{
    d->nameLabel->setText(fontMetrics().elidedText(name, Qt::ElideRight, int(width() / 2.5)));
}

void VideoWidget::setActive(bool isActive)
{
    d->active = isActive;
    update();
}

void VideoWidget::setPosition(API::LayoutCellPoint point) { d->position = point; }
void VideoWidget::setSpan(API::LayoutCellSize size) { d->span = size; }

void VideoWidget::setQuality(int quality)
{
    if (quality < 0 || quality > 2 || quality == d->quality)
        return;
    d->quality = quality;
    if (!d->archiveMode)
        playLive();
    else if (d->state != Idle && d->state != Error)
        playArchive(d->playbackTime, d->speed);
}

void VideoWidget::onRecordsChanged(QDate date)
{
    if (!d->archiveMode || !d->recordsAwaited.isValid() || date != d->recordsAwaited)
        return;
    d->spinner->stop();
    playArchive(d->playbackTime, d->speed);
}

void VideoWidget::syncArchive(const QDateTime& reference)
{
    if (!d->archiveMode || d->recordsAwaited.isValid())
        return;
    const QDateTime next = d->camera->nextRecordTime(d->playbackTime);
    if (!next.isValid()) {
        stop();
        d->showMessage(tr("No recordings"));
        return;
    }
    if (next > d->playbackTime) {
        d->timeOffsetMs += d->playbackTime.msecsTo(next);
        setTime(next);
        emit playbackTimeChanged();
        return;
    }
    // A cell without its first picture has no time of its own yet: holding
    // it back would only delay that picture.
    if (d->state == Starting)
        return;
    const bool waiting = d->state == PausedAsNoRecord || d->state == PausedAsSyncArchive;
    if (!reference.isValid()) {
        // Nobody plays to wait for.
        if (waiting)
            unpause();
        return;
    }
    const qint64 ahead = reference.msecsTo(d->playbackTime);
    const qint64 limit = qint64(d->speed) * 3000;
    if (ahead > limit && !waiting) {
        if (d->camera->recordIndexAt(reference) >= d->camera->recordIndexAt(d->playbackTime))
            syncWait();
        else
            noRecord();
    } else if (waiting && ahead < limit / 2) {
        unpause();
    }
}

void VideoWidget::readPlayerState()
{
    const StatusBatch batch = d->reader.read(d->process->readAllStandardOutput());
    for (const StatusEvent& event : batch.events) {
        switch (event.kind) {
        case StatusEvent::Time:
            setTime(d->archiveTimeAt(event.time));
            emit playbackTimeChanged();
            break;
        case StatusEvent::AbsoluteTime:
            d->absoluteTime = event.dateTime;
            break;
        case StatusEvent::State:
            d->workerState = event.state;
            d->workerEnded = d->workerEnded || event.isError();
            if (event.isError())
                d->workerFailed();
            break;
        case StatusEvent::Size:
            d->videoWidth = event.width;
            d->videoHeight = event.height;
            // A held picture keeps its own shape until the new one replaces it.
            if (!d->heldPicture)
                d->updateAspect();
            // framepump draws every picture at the stream's own size.
            if (d->isFramepump())
                d->learnSource(QSize(event.width, event.height));
            break;
        case StatusEvent::Source:
            d->learnSource(QSize(event.width, event.height));
            break;
        }
    }
    d->frameCount += batch.frames;
    if (batch.frames == 0 || d->state == PausedAsNoRecord || d->state == PausedAsSyncArchive)
        return;
    // Pictures from a live worker given up as silent (a slow start on a loaded
    // machine) mean it plays: the reload that waits for a frozen picture is called off.
    if (d->state == Starting || (d->state == Error && !d->archiveMode && !d->workerEnded)) {
        d->setState(Playing);
        d->freezeTime = QDateTime();
        // The reloads allowed before giving up are those that bring no
        // picture back; one that did has mended its outage, and a later
        // failure (a cut stream, a killed worker) is a new one.
        d->reloads = 0;
    }
    if (!d->ptzPending)
        d->spinner->stop();
    d->releaseHeldPicture();
    d->buildImage();
    if (d->fullSnapshotPending && QSize(d->videoWidth, d->videoHeight) == d->sourceSize)
        d->takeFullSnapshot();
    update();
}

void VideoWidget::readPlayerErrors()
{
    const QString text = QString::fromLocal8Bit(d->process->readAllStandardError()).trimmed();
    qDebug() << QString(QStringLiteral("STDERR MESSAGE FROM ") + d->camera->name() + QStringLiteral(" CAMERA: ") + text);
}

void VideoWidget::clearImage()
{
    d->image = QImage(qMax(1, d->videoWidth), qMax(1, d->videoHeight), QImage::Format_RGB32);
    d->image.fill(QColor(25, 25, 29));
    d->hasFrame = false;
    d->releaseHeldPicture();
    update();
}

void VideoWidget::orientationChanged()
{
    d->updateAspect();
    // A paused or still stream brings no new picture to turn: the one held is.
    // (A picture held over a change of stream is not over the mapping any more.)
    if (d->hasFrame && !d->heldPicture)
        d->buildImage();
    update();
}

void VideoWidget::on_cameraScreenshotButton_clicked()
{
    if (!d->hasFrame) {
        emit snapshotError();
        return;
    }
    if (d->grabber || d->fullSnapshotPending)
        return; // the snapshot asked for a moment ago is still on its way
    // The cell's picture is drawn at the size the cell shows it, which may be
    // less than the stream holds. A snapshot of live video is taken from the best
    // stream the camera offers, through a worker of its own, when the cell plays
    // a lighter one or a reduction; one of recordings is of one exact moment, so
    // the cell's own worker draws it at its stream's size.
    const bool reduced
        = qint64(d->image.width()) * d->image.height() < qint64(d->sourceSize.width()) * d->sourceSize.height();
    if (!d->archiveMode && d->state == Playing && (reduced || d->camera->liveUrl(d->quality) != d->camera->liveUrl(2)))
        d->grabSnapshot();
    else if (d->archiveMode && reduced && d->process->state() == QProcess::Running)
        d->drawFullSnapshot();
    else
        d->saveSnapshot(d->image, d->playbackTime, d->zoom);
}

void VideoWidget::takeSnapshot()
{
    on_cameraScreenshotButton_clicked();
}

void VideoWidget::on_closeButton_clicked() { emit closed(d->position); }
void VideoWidget::on_actionClose_triggered() { emit closed(d->position); }

void VideoWidget::on_actionSettings_triggered()
{
    GUI::CameraSettingsDialog::showFor(d->camera);
}

void VideoWidget::onFlagsChanged()
{
    qDebug() << "Flags changed, online:" << d->camera->isOnline() << "camera" << d->camera->name();
    if (d->archiveMode)
        return;
    if (d->camera->isPaid() && d->camera->isOnline()) {
        playLive();
    } else {
        stop();
        d->showMessage(d->unavailableText());
    }
}

void VideoWidget::onCameraInvalidated()
{
    d->showMessage(tr("Camera not found"));
}

void VideoWidget::updatePtzPatrols()
{
    d->ptz->setPatrols(d->camera->ptzPatrols());
    // The patrol button widens the panel: it is placed again, whole.
    d->updatePtzVisibility();
}

void VideoWidget::ptzMoveOnClick()
{
    if (!d->ptzClickPending)
        ptzMove(d->ptzDirection);
}

void VideoWidget::ptzMove(API::Camera::PtzMoveDirections direction)
{
    d->ptzPending = true;
    d->spinner->start();
    d->camera->ptzMove(direction);
}

void VideoWidget::ptzZoom(int factor)
{
    d->ptzPending = true;
    d->spinner->start();
    d->camera->ptzZoom(factor);
}

void VideoWidget::ptzPatrol(int route)
{
    d->camera->ptzPatrol(route);
}

void VideoWidget::ptzDone()
{
    d->ptzPending = false;
    d->spinner->stop();
}

QMenu* VideoWidget::menu() const
{
    return d->menu;
}

void VideoWidget::showContextMenu(QPoint pos)
{
    d->menu->popup(mapToGlobal(pos));
}

QRect VideoWidget::targetRect(const QSize& widget, double aspect, int aspectMode, const QSize& image, QRect* source)
{
    const QRect whole(QPoint(0, 0), widget);
    if (source)
        *source = QRect(QPoint(0, 0), image);
    if (widget.isEmpty() || aspect <= 0)
        return whole;
    const double widgetAspect = double(widget.width()) / widget.height();
    if (aspectMode == 0) {
        if (widgetAspect < aspect) { // relatively taller: full width
            const int h = qRound(widget.width() / aspect);
            return QRect(0, (widget.height() - h) / 2, widget.width(), h);
        }
        const int w = qRound(widget.height() * aspect);
        return QRect((widget.width() - w) / 2, 0, w, widget.height());
    }
    if (aspectMode == 1 && source && !image.isEmpty()) {
        const double imageAspect = double(image.width()) / image.height();
        if (imageAspect > widgetAspect) {
            const int w = qRound(image.height() * widgetAspect);
            *source = QRect((image.width() - w) / 2, 0, w, image.height());
        } else {
            const int h = qRound(image.width() / widgetAspect);
            *source = QRect(0, (image.height() - h) / 2, image.width(), h);
        }
    }
    return whole;
}

void VideoWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor background(25, 25, 29);
    if (d->hasFrame && !d->image.isNull()) {
        if (d->lastShownFrame != d->frameCount) {
            d->lastShownFrame = d->frameCount;
            ++d->shownFrames;
        }
        QRect whole;
        d->videoRect = targetRect(size(), d->aspect, d->camera->aspectMode(), d->image.size(), &whole);
        d->wholeSource = whole;
        d->videoSource = d->zoom.shownPart(QRectF(whole));
        const QRect source = d->videoSource.toRect();
        // Only the margins around the picture need the background.
        for (const QRect& margin : (QRegion(rect()) - d->videoRect))
            painter.fillRect(margin, background);
        // A picture the worker fitted to the cell is copied as it is: scaling it by
        // the pixel that rounding leaves costs as much as scaling a large one. Only
        // one that covers the whole target: this widget paints opaquely, and a
        // pixel short would leave a line of whatever was there before.
        const QSize slack = source.size() - d->videoRect.size();
        const auto spare = [](int pixels) { return pixels == 0 || pixels == 1; };
        if (spare(slack.width()) && spare(slack.height()) && devicePixelRatioF() == 1.0) {
            painter.setClipRect(d->videoRect);
            painter.drawImage(d->videoRect.topLeft(), d->image, source);
            painter.setClipping(false);
        } else {
            // Magnified (a zoom beyond what the stream holds) a picture looks
            // better smoothed than in blocks.
            if (d->zoom.isZoomed())
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(d->videoRect), d->image, d->videoSource);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        }
        d->updateOverview(whole);
    } else {
        painter.fillRect(rect(), background);
        d->overview->hide();
    }
    const QRectF frame = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (d->dropHighlight)
        painter.fillRect(rect(), QColor(41, 44, 49, 150));
    QColor edge;
    const App::LayoutTotals::Totals totals = App::LayoutTotals::current();
    const bool several = totals.cameras > 1 || totals.cells > 1;
    if ((d->active && several) || d->hovered)
        edge = QColor(62, 183, 253);
    else if (d->menuShown)
        edge = QColor(66, 71, 80);
    if (edge.isValid()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(edge, 2));
        painter.drawRoundedRect(frame, 2, 2);
    }
    d->updateFit();
}

void VideoWidget::resizeEvent(QResizeEvent*)
{
    const int barHeight = VideoWidget::barHeight(this);
    d->topBar->setGeometry(0, d->topBarShown() ? 0 : -barHeight, width(), barHeight);
    d->bottomBar->setGeometry(0, d->controlsShown ? height() - barHeight : height(), width(), barHeight);
    d->messageLabel->setGeometry(rect().adjusted(8, barHeight, -8, -barHeight));
    d->spinner->setGeometry(width() / 2 - 16, height() / 2 - 16, 33, 33);
    if (d->camera)
        setCameraName(d->camera->name());
    d->updatePtzVisibility();
}

void VideoWidget::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == d->watchdogTimer)
        d->watchdog();
}

void VideoWidget::mousePressEvent(QMouseEvent* event)
{
    d->ptzClickPending = false;
    d->pressPos = event->pos();
    d->panning = d->zoom.isZoomed() && event->button() == Qt::LeftButton;
    d->panFrom = event->pos();
    d->lastMouseMove = QDateTime::currentDateTime();
    d->showControls(true);
}

void VideoWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (d->panning) {
        d->panning = false;
        setCursor(Qt::ArrowCursor);
    }
    // Zoomed, a click means the picture, not a direction: the pad still steers.
    const bool canSteer = d->camera->ptzSupported() && d->hasFrame && !d->zoom.isZoomed();
    if (canSteer) {
        const int direction = GUI::PtzWidget::directionAt(d->pressPos, d->videoRect);
        d->ptzDirection = API::Camera::PtzMoveDirections(direction);
        const bool overControls = (d->topBar->isVisible() && d->topBar->geometry().contains(d->pressPos))
            || (d->bottomBar->isVisible() && d->bottomBar->geometry().contains(d->pressPos))
            || (d->ptz->isVisible() && d->ptz->geometry().contains(d->pressPos));
        if (direction != GUI::PtzWidget::noDirection && direction != GUI::PtzWidget::centreDirection && !overControls
            && d->state == Playing && d->active && !d->archiveMode)
            QTimer::singleShot(600, this, &VideoWidget::ptzMoveOnClick);
    }
    emit clicked(d->camera);
    qDebug() << "Activated camera:" << d->camera->name() << "state:" << stateText(d->state)
             << "last request time:" << d->lastRequestTime << "freeze time:" << d->freezeTime
             << "reloads count:" << d->reloads << "is archive playing?" << (d->archiveMode ? "true" : "false")
             << "VLC state:" << d->workerState << "volume:" << d->volume << "quality:" << d->quality
             << "resolution:" << QString(QString::number(d->videoWidth) + QLatin1Char('x') + QString::number(d->videoHeight))
             << "playback time:" << d->playbackTime << "base time:" << d->baseTime;
}

void VideoWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    d->ptzClickPending = true;
    emit clicked(d->camera);
    emit doubleClicked(d->position);
}

void VideoWidget::mouseMoveEvent(QMouseEvent* event)
{
    d->mousePos = event->pos();
    d->lastMouseMove = QDateTime::currentDateTime();
    d->showControls(true);
    if (!(event->buttons() & Qt::LeftButton)
        || (event->pos() - d->pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    if (d->panning) {
        if (!d->videoRect.isEmpty()) {
            const QPoint moved = event->pos() - d->panFrom;
            d->zoom.panBy(QPointF(double(moved.x()) / d->videoRect.width(), double(moved.y()) / d->videoRect.height()));
            d->zoomChanged();
        }
        d->panFrom = event->pos();
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(DragData::cell(d->position, d->camera, parentWidget()));
    drag->setPixmap(QPixmap::fromImage(d->image.scaled(80, 50)));
    // Within the grid the cell moves; another window copies its camera.
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void VideoWidget::enterEvent(QEvent*)
{
    d->hovered = true;
    d->lastMouseMove = QDateTime::currentDateTime();
    d->showControls(true);
    update();
}

void VideoWidget::leaveEvent(QEvent*)
{
    d->hovered = false;
    d->lastMouseMove = QDateTime::currentDateTime();
    if (!d->menuShown)
        d->showControls(false);
    update();
}

void VideoWidget::dragEnterEvent(QDragEnterEvent* event)
{
    const Qt::DropAction action = DragData::dropAction(event->mimeData(), parentWidget(), d->position);
    if (action == Qt::IgnoreAction)
        return;
    d->dropHighlight = true;
    event->setDropAction(action);
    event->accept();
    update();
}

void VideoWidget::dragLeaveEvent(QDragLeaveEvent*)
{
    d->dropHighlight = false;
    update();
}

void VideoWidget::dropEvent(QDropEvent* event)
{
    d->dropHighlight = false;
    update();
    const QMimeData* mime = event->mimeData();
    const Qt::DropAction action = DragData::dropAction(mime, parentWidget(), d->position);
    if (action == Qt::MoveAction) {
        emit swapRequested(DragData::swapSource(mime), d->position);
    } else if (const API::CameraPtr camera = action == Qt::CopyAction ? DragData::camera(mime) : nullptr) {
        emit openCamera(camera, d->position);
    } else {
        return;
    }
    event->setDropAction(action);
    event->accept();
}

double VideoWidget::zoomFactor() const { return d->zoom.factor(); }
bool VideoWidget::isZoomed() const { return d->zoom.isZoomed(); }
QRectF VideoWidget::zoomRegion() const { return d->zoom.region(); }
QSize VideoWidget::sourceSize() const { return d->sourceSize; }

void VideoWidget::zoomAt(double factor, QPointF viewPoint)
{
    const double before = d->zoom.factor();
    const QRectF region = d->zoom.region();
    d->zoom.zoomAt(factor, viewPoint);
    if (d->zoom.factor() != before || d->zoom.region() != region)
        d->zoomChanged();
}

void VideoWidget::zoomIn() { d->animateZoom(1, QPointF(0.5, 0.5)); }
void VideoWidget::zoomOut() { d->animateZoom(-1, QPointF(0.5, 0.5)); }

void VideoWidget::resetZoom()
{
    d->zoomAnimation->stop();
    if (!d->zoom.isZoomed())
        return;
    d->zoom.reset();
    d->zoomChanged();
}

int VideoWidget::detailQuality(int least) const
{
    if (!d->zoom.isZoomed() || least >= 2)
        return qBound(0, least, 2);
    const QSize need = d->fitBox();
    for (int quality = qMax(0, least); quality < 2; ++quality) {
        const QSize source = d->sourceSizes[quality];
        // A pixel or two is rounding, not a lack of detail.
        if (!source.isValid() || (source.width() >= need.width() - 2 && source.height() >= need.height() - 2))
            return quality;
    }
    return 2;
}

bool VideoWidget::event(QEvent* event)
{
    if (event->type() == QEvent::Gesture && d->hasFrame) {
        auto* gesture = static_cast<QGestureEvent*>(event);
        if (auto* pinch = static_cast<QPinchGesture*>(gesture->gesture(Qt::PinchGesture))) {
            if (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged)
                zoomAt(d->zoom.factor() * pinch->scaleFactor(), d->viewPoint(mapFromGlobal(pinch->centerPoint().toPoint())));
            gesture->accept(pinch);
            return true;
        }
    }
    if (event->type() == QEvent::NativeGesture && d->hasFrame) {
        auto* native = static_cast<QNativeGestureEvent*>(event);
        if (native->gestureType() == Qt::ZoomNativeGesture) {
            zoomAt(d->zoom.factor() * (1.0 + native->value()), d->viewPoint(native->localPos()));
            return true;
        }
    }
    return QWidget::event(event);
}

void VideoWidget::wheelEvent(QWheelEvent* event)
{
    if (!d->hasFrame || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    d->animateZoom(event->angleDelta().y() / 120.0, d->viewPoint(event->position()));
    event->accept();
}

} // namespace OrvantaClient::GUI::Player
