#include "layoutwidget.h"

#include "gui/player/healthoverlay.h"
#include "gui/player/videoplaceholder.h"
#include "gui/player/videowidget.h"
#include "gui/widgets/playernotification.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/server.h"
#include "stores/layouts.h"
#include "stores/roster.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QMimeData>
#include <QStyle>
#include <QtMath>
#include <algorithm>
#include <utility>

namespace OrvantaClient::GUI {

using Player::VideoPlaceholder;
using Player::VideoWidget;

namespace {

// A cell's own quality, chosen from its menu: absent while it follows the grid's.
const char cellQualityProperty[] = "cellQuality";

} // namespace

LayoutWidget::LayoutWidget(QWidget* parent)
    : QWidget(parent)
{
    API::registerMetaTypes();
    setObjectName(QStringLiteral("LayoutWidget"));
    setAcceptDrops(true);
    // A click into the grid takes the focus from a text field, so that the
    // window's keys work on the cells again.
    setFocusPolicy(Qt::ClickFocus);
    setProperty("drop", false);
    setStyleSheet(QStringLiteral("#LayoutWidget[drop=\"true\"] { border: 2px solid rgb(25, 134, 243); }"));
    // A plain QWidget draws no style-sheet border without this.
    setAttribute(Qt::WA_StyledBackground);
    m_settle.setSingleShot(true);
    m_settle.setInterval(500);
    connect(&m_settle, &QTimer::timeout, this, &LayoutWidget::applyAutoQuality);
    newGrid();
}

LayoutWidget::~LayoutWidget() = default;

int LayoutWidget::qualityFor(int cellWidth, bool maximized, bool singleCell)
{
    if (maximized || singleCell)
        return 2;
    return cellWidth < 400 ? 0 : cellWidth < 960 ? 1 : 2;
}

QSize LayoutWidget::grownSize(int rows, int columns, int extra)
{
    if (extra <= 0)
        return QSize(columns, rows);
    if (rows == 1 && columns == 1) {
        int k = 1;
        while (k < 6 && k * k < extra)
            ++k;
        return QSize(k, k);
    }
    return QSize(columns, qMin(6, rows + (extra + columns - 1) / columns));
}

void LayoutWidget::newGrid()
{
    delete m_grid;
    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(2, 2, 2, 2);
    m_grid->setSpacing(2);
    m_maximized = false;
    stretchCells(QRect());
}

void LayoutWidget::stretchCells(const QRect& cells)
{
    // Every cell gets the same share, whatever its content would like. Qt
    // keeps that share for a row whose widgets are all hidden, so a maximised
    // cell fills the grid only when the others give theirs up.
    const int rows = m_layout ? m_layout->rows() : 1;
    const int columns = m_layout ? m_layout->columns() : 1;
    for (int row = 0; row < rows; ++row)
        m_grid->setRowStretch(row, cells.isNull() || (row >= cells.top() && row <= cells.bottom()) ? 1 : 0);
    for (int column = 0; column < columns; ++column)
        m_grid->setColumnStretch(column, cells.isNull() || (column >= cells.left() && column <= cells.right()) ? 1 : 0);
}

static bool sameCells(const API::Layout& a, const API::Layout& b)
{
    if (a.rows() != b.rows() || a.columns() != b.columns() || a.camerasCount() != b.camerasCount())
        return false;
    for (const API::Layout::Cell& cell : a.cells()) {
        const API::Layout::Cell other = b.cell(API::LayoutCellPoint(cell.column, cell.row));
        if (other.camera != cell.camera || other.w != cell.w || other.h != cell.h)
            return false;
    }
    return true;
}

void LayoutWidget::setLayout(API::LayoutPtr layout)
{
    // An edited copy, or the stored layout after a save, shows the same
    // cameras in the same cells: the players keep running.
    const bool keepPlayers = m_layout && layout && m_layout != layout && sameCells(*m_layout, *layout);
    if (m_layout)
        disconnect(m_layout.get(), nullptr, this, nullptr);
    m_layout = layout;
    if (m_layout) {
        connect(m_layout.get(), &API::Layout::cameraAdded, this, &LayoutWidget::onCameraAdded);
        connect(m_layout.get(), &API::Layout::cameraRemoved, this, &LayoutWidget::onCameraRemoved);
        connect(m_layout.get(), &API::Layout::exchanged, this, &LayoutWidget::onExchanged);
        connect(m_layout.get(), &API::Layout::resized, this, &LayoutWidget::onResized);
    }
    if (keepPlayers)
        return;
    flushRetired();
    for (VideoWidget* player : qAsConst(m_players))
        player->deleteLater();
    m_players.clear();
    while (QLayoutItem* item = m_grid ? m_grid->takeAt(0) : nullptr) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    newGrid();
    if (!m_layout)
        return;
    for (int row = 0; row < m_layout->rows(); ++row) {
        for (int column = 0; column < m_layout->columns(); ++column) {
            const API::LayoutCellPoint point(column, row);
            const API::Layout::Cell cell = m_layout->cell(point);
            if (cell.camera)
                createPlayer(point, cell.h, cell.w);
            else
                m_grid->addWidget(createPlaceholder(point), row, column);
        }
    }
    m_settle.start();
}

VideoWidget* LayoutWidget::createPlayer(const API::LayoutCellPoint& point, int rowSpan, int columnSpan)
{
    const API::Layout::Cell cell = m_layout->cell(point);
    auto* player = new VideoWidget(cell.camera, this);
    player->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    player->setPosition(point);
    player->setSpan(API::LayoutCellSize(rowSpan, columnSpan));
    removeWidgetAt(point.row, point.column);
    m_players.insert(point, player);
    m_grid->addWidget(player, point.row, point.column, rowSpan, columnSpan);
    connect(player, &VideoWidget::closed, this, &LayoutWidget::cameraClosed);
    connect(player, &VideoWidget::clicked, this, &LayoutWidget::clicked);
    connect(player, &VideoWidget::doubleClicked, this, &LayoutWidget::onDoubleClicked);
    connect(player, &VideoWidget::swapRequested, this, &LayoutWidget::cameraDroppedFromLayout);
    connect(player, &VideoWidget::openCamera, this, &LayoutWidget::cameraDroppedFromRoster);
    connect(player, &VideoWidget::playbackTimeChanged, this, &LayoutWidget::playbackTimeChanged);
    connect(player, &VideoWidget::snapshotSaved, this, &LayoutWidget::showSnapshotHint);
    connect(player, &VideoWidget::snapshotError, this, &LayoutWidget::showSnapshotError);
    // A zoomed cell may want a better stream: decided once the wheel rests, as
    // every change of stream restarts the cell's worker.
    connect(player, &VideoWidget::zoomChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(player, &VideoWidget::sourceSizeChanged, &m_settle, qOverload<>(&QTimer::start));
    player->setArchiveMode(m_archiveMode);
    player->setSoundVolume(m_volume);
    player->enableSound(m_soundEnabled);
    player->setActive(m_activeCamera && cell.camera == m_activeCamera);
    // The worker is told the size to draw at when it starts, and a cell that
    // is not painted (one made ready behind the grid on screen) would not
    // correct it: it starts at the size the grid will give it.
    if (isVisible())
        player->resize(expectedCellSize(rowSpan, columnSpan));
    updateHealth(player);
    // The stream is chosen before the worker starts: choosing it after would
    // start every worker twice when a layout opens.
    const int quality = m_quality != autoQuality ? m_quality : expectedQuality(columnSpan);
    if (!m_archiveMode) {
        if (quality != autoQuality)
            player->playLive(quality);
        else
            player->playLive();
    } else {
        if (quality != autoQuality)
            player->setQuality(quality); // an idle player only takes note
        // A camera dropped during archive playback joins at the common time;
        // the first camera of a layout opened then, at the time the grid played.
        QDateTime time = playbackTime();
        if (!time.isValid())
            time = m_archiveTime;
        if (time.isValid())
            player->playArchive(time, m_speed);
    }
    m_settle.start();
    emit playerCreated(player);
    return player;
}

int LayoutWidget::expectedQuality(int columnSpan) const
{
    // A hidden grid has no size yet: the settled resize chooses then.
    if (!isVisible() || !m_layout || m_layout->columns() <= 0)
        return autoQuality;
    const bool single = m_layout->rows() == 1 && m_layout->columns() == 1;
    return qualityFor(expectedCellSize(1, columnSpan).width(), false, single);
}

QSize LayoutWidget::expectedCellSize(int rowSpan, int columnSpan) const
{
    const int columns = qMax(1, m_layout ? m_layout->columns() : 1);
    const int rows = qMax(1, m_layout ? m_layout->rows() : 1);
    const QRect area = contentsRect().marginsRemoved(m_grid->contentsMargins());
    const int spacing = m_grid->spacing();
    const int cellWidth = (area.width() - spacing * (columns - 1)) / columns;
    const int cellHeight = (area.height() - spacing * (rows - 1)) / rows;
    return QSize(qMax(1, cellWidth * columnSpan + spacing * (columnSpan - 1)),
                 qMax(1, cellHeight * rowSpan + spacing * (rowSpan - 1)));
}

QWidget* LayoutWidget::createPlaceholder(const API::LayoutCellPoint& point)
{
    auto* placeholder = new VideoPlaceholder(this);
    placeholder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    placeholder->setPosition(point);
    connect(placeholder, &VideoPlaceholder::droppedFromLayout, this, &LayoutWidget::cameraDroppedFromLayout);
    connect(placeholder, &VideoPlaceholder::droppedFromRoster, this, &LayoutWidget::cameraDroppedFromRoster);
    return placeholder;
}

void LayoutWidget::removeWidgetAt(int row, int column)
{
    QLayoutItem* item = m_grid->itemAtPosition(row, column);
    if (!item || !item->widget())
        return;
    QWidget* widget = item->widget();
    m_grid->removeWidget(widget);
    if (qobject_cast<VideoPlaceholder*>(widget)) {
        widget->hide();
        widget->deleteLater();
    }
}

void LayoutWidget::onCameraAdded(API::LayoutCellPoint point)
{
    if (!m_layout || !m_layout->cell(point).camera)
        return;
    VideoWidget* retired = m_retired.value(point);
    if (retired && retired->camera() == m_layout->cell(point).camera) {
        m_players.insert(point, m_retired.take(point));
        return;
    }
    flushRetired();
    // The new cell would get no room beside a maximised one: show them all.
    if (m_maximized)
        setCellsVisible(true);
    createPlayer(point, 1, 1);
}

void LayoutWidget::onCameraRemoved(API::LayoutCellPoint point)
{
    if (!m_players.contains(point))
        return;
    retirePlayer(point);
}

void LayoutWidget::retirePlayer(const API::LayoutCellPoint& point)
{
    if (m_retired.isEmpty())
        QTimer::singleShot(0, this, &LayoutWidget::flushRetired);
    m_retired.insert(point, m_players.take(point));
}

void LayoutWidget::flushRetired()
{
    const QMap<API::LayoutCellPoint, VideoWidget*> retired = std::exchange(m_retired, {});
    for (auto it = retired.cbegin(); it != retired.cend(); ++it) {
        VideoWidget* player = it.value();
        if (m_maximized)
            setCellsVisible(true);
        m_grid->removeWidget(player);
        player->hide();
        player->deleteLater();
        const API::LayoutCellPoint point = it.key();
        const bool inGrid = m_layout && point.row < m_layout->rows() && point.column < m_layout->columns();
        if (inGrid && !m_players.contains(point) && !m_grid->itemAtPosition(point.row, point.column))
            m_grid->addWidget(createPlaceholder(point), point.row, point.column);
    }
}

void LayoutWidget::onExchanged(API::LayoutCellPoint a, API::LayoutCellPoint b)
{
    if (a == b) // a cell swapped with itself stays as it is
        return;
    flushRetired();
    VideoWidget* first = m_players.take(a);
    if (!first)
        return;
    m_grid->removeWidget(first);
    if (VideoWidget* second = m_players.take(b)) {
        m_grid->removeWidget(second);
        second->setPosition(a);
        second->setSpan(API::LayoutCellSize(1, 1));
        m_players.insert(a, second);
        m_grid->addWidget(second, a.row, a.column);
    } else {
        removeWidgetAt(b.row, b.column);
        m_grid->addWidget(createPlaceholder(a), a.row, a.column);
    }
    first->setPosition(b);
    first->setSpan(API::LayoutCellSize(1, 1));
    m_players.insert(b, first);
    m_grid->addWidget(first, b.row, b.column);
}

void LayoutWidget::onResized()
{
    flushRetired();
    // Players stay; placeholders are made anew for the new grid.
    QList<QWidget*> old;
    for (int i = 0; i < m_grid->count(); ++i)
        old << m_grid->itemAt(i)->widget();
    for (QWidget* widget : qAsConst(old)) {
        m_grid->removeWidget(widget);
        if (qobject_cast<VideoPlaceholder*>(widget)) {
            widget->hide();
            widget->deleteLater();
        }
    }
    newGrid();
    for (int row = 0; row < m_layout->rows(); ++row) {
        for (int column = 0; column < m_layout->columns(); ++column) {
            const API::LayoutCellPoint point(column, row);
            if (VideoWidget* player = m_players.value(point)) {
                player->setSpan(API::LayoutCellSize(1, 1));
                player->show();
                m_grid->addWidget(player, row, column);
            } else {
                m_grid->addWidget(createPlaceholder(point), row, column);
            }
        }
    }
    m_settle.start();
}

void LayoutWidget::onDoubleClicked(API::LayoutCellPoint point)
{
    if (!m_layout || (m_layout->rows() == 1 && m_layout->columns() == 1) || !m_players.contains(point))
        return;
    if (m_maximized)
        showGrid();
    else
        maximize(point);
}

void LayoutWidget::maximize(const API::LayoutCellPoint& point)
{
    VideoWidget* player = m_players.value(point);
    if (!player)
        return;
    setCellsVisible(false);
    int row = 0, column = 0, rows = 1, columns = 1;
    m_grid->getItemPosition(m_grid->indexOf(player), &row, &column, &rows, &columns);
    stretchCells(QRect(column, row, columns, rows));
    player->show();
    m_settle.start();
}

void LayoutWidget::showGrid()
{
    if (!m_maximized)
        return;
    setCellsVisible(true);
    m_settle.start();
}

VideoWidget* LayoutWidget::maximizedPlayer() const
{
    if (!m_maximized)
        return nullptr;
    for (VideoWidget* player : m_players) {
        if (!player->isHidden())
            return player;
    }
    return nullptr;
}

QList<VideoWidget*> LayoutWidget::playersInOrder() const
{
    QList<API::LayoutCellPoint> points = m_players.keys();
    std::sort(points.begin(), points.end(), [](const API::LayoutCellPoint& a, const API::LayoutCellPoint& b) {
        return std::make_pair(a.row, a.column) < std::make_pair(b.row, b.column);
    });
    QList<VideoWidget*> ordered;
    for (const API::LayoutCellPoint& point : qAsConst(points))
        ordered << m_players.value(point);
    return ordered;
}

VideoWidget* LayoutWidget::activePlayer() const
{
    if (!m_activeCamera)
        return nullptr;
    // The maximised cell first: the camera may be in the grid more than once.
    if (VideoWidget* shown = maximizedPlayer(); shown && shown->camera() == m_activeCamera)
        return shown;
    for (VideoWidget* player : playersInOrder()) {
        if (player->camera() == m_activeCamera)
            return player;
    }
    return nullptr;
}

void LayoutWidget::toggleMaximized(int number)
{
    const QList<VideoWidget*> ordered = playersInOrder();
    const bool single = m_layout && m_layout->rows() == 1 && m_layout->columns() == 1;
    if (!m_layout || single || number < 1 || number > ordered.size())
        return;
    VideoWidget* player = ordered.at(number - 1);
    const bool itself = maximizedPlayer() == player;
    showGrid();
    if (!itself) {
        maximize(m_players.key(player));
        // As a double click does: the cell looked at is the one the keys act on.
        emit clicked(player->camera());
    }
}

void LayoutWidget::setStreamHealthShown(bool shown)
{
    m_healthShown = shown;
    for (VideoWidget* player : qAsConst(m_players))
        updateHealth(player);
}

void LayoutWidget::updateHealth(VideoWidget* player)
{
    player->setHealthShown(m_healthShown);
    if (Player::HealthOverlay* overlay = player->healthOverlay())
        overlay->setAutomaticQuality(cellQuality(player) == autoQuality);
}

void LayoutWidget::setCellsVisible(bool visible)
{
    m_maximized = !visible;
    if (visible)
        stretchCells(QRect());
    for (int i = 0; i < m_grid->count(); ++i) {
        if (QWidget* widget = m_grid->itemAt(i)->widget())
            widget->setVisible(visible);
    }
}

void LayoutWidget::setArchiveMode(bool archive)
{
    m_archiveMode = archive;
    for (VideoWidget* player : qAsConst(m_players))
        player->setArchiveMode(archive);
}

void LayoutWidget::playLive()
{
    m_archiveMode = false;
    m_paused = false;
    for (VideoWidget* player : qAsConst(m_players)) {
        player->setArchiveMode(false);
        player->playLive();
    }
}

void LayoutWidget::playArchive(const QDateTime& time, int speed)
{
    m_archiveMode = true;
    m_paused = false;
    m_speed = speed;
    m_archiveTime = time;
    for (VideoWidget* player : qAsConst(m_players)) {
        player->setArchiveMode(true);
        player->playArchive(time, speed);
    }
}

void LayoutWidget::syncArchive(int speed)
{
    if (!m_archiveMode || m_paused)
        return;
    m_speed = speed;
    noteArchiveProgress();
    const QDateTime common = commonArchiveTime();
    if (common.isValid())
        m_archiveTime = common;
    for (VideoWidget* player : qAsConst(m_players))
        player->syncArchive(common);
}

void LayoutWidget::noteArchiveProgress()
{
    const QDateTime now = QDateTime::currentDateTime();
    QHash<VideoWidget*, ArchiveProgress> progress;
    for (VideoWidget* player : qAsConst(m_players)) {
        ArchiveProgress seen = m_progress.value(player);
        if (!seen.since.isValid() || seen.state != player->state()) {
            seen = {player->playbackTime(), player->state(), now, false};
        } else if (seen.since.msecsTo(now) >= archivePaceWindowMs) {
            // Over the last few seconds, at least half the pace asked for.
            const qint64 moved = seen.time.isValid() && player->playbackTime().isValid()
                ? seen.time.msecsTo(player->playbackTime()) : 0;
            seen.lagging = moved * 2 < seen.since.msecsTo(now) * qint64(m_speed);
            seen.time = player->playbackTime();
            seen.since = now;
        }
        progress.insert(player, seen);
    }
    m_progress = progress;
}

QDateTime LayoutWidget::commonArchiveTime() const
{
    // The earliest cell that plays and keeps pace. A cell that waits, starts or
    // has nothing to play leads nobody, nor does one that stands still or
    // crawls: the others would wait for it for ever.
    QDateTime common;
    for (VideoWidget* player : qAsConst(m_players)) {
        const auto seen = m_progress.constFind(player);
        if (player->state() != VideoWidget::Playing || !player->playbackTime().isValid() || seen == m_progress.cend()
            || seen->lagging)
            continue;
        if (!common.isValid() || player->playbackTime() < common)
            common = player->playbackTime();
    }
    return common;
}

void LayoutWidget::pause()
{
    m_paused = true;
    for (VideoWidget* player : qAsConst(m_players))
        player->pause();
}

void LayoutWidget::unpause()
{
    m_paused = false;
    for (VideoWidget* player : qAsConst(m_players))
        player->unpause();
}

QDateTime LayoutWidget::playbackTime() const
{
    if (m_archiveMode) {
        const QDateTime common = commonArchiveTime();
        if (common.isValid())
            return common;
    }
    QDateTime first;
    for (VideoWidget* player : qAsConst(m_players)) {
        const QDateTime time = player->playbackTime();
        if (!time.isValid())
            continue;
        if (m_activeCamera && player->camera() == m_activeCamera)
            return time;
        if (!first.isValid())
            first = time;
    }
    return first;
}

void LayoutWidget::setActiveCamera(API::CameraPtr camera)
{
    m_activeCamera = camera;
    for (VideoWidget* player : qAsConst(m_players))
        player->setActive(camera && player->camera() == camera);
}

void LayoutWidget::setSoundVolume(int volume)
{
    m_volume = volume;
    for (VideoWidget* player : qAsConst(m_players))
        player->setSoundVolume(volume);
}

void LayoutWidget::setSoundEnabled(bool enabled)
{
    m_soundEnabled = enabled;
    for (VideoWidget* player : qAsConst(m_players))
        player->enableSound(enabled);
}

void LayoutWidget::setQuality(int quality)
{
    m_quality = quality;
    for (VideoWidget* player : qAsConst(m_players)) {
        player->setProperty(cellQualityProperty, QVariant());
        updateHealth(player);
    }
    if (quality == autoQuality) {
        applyAutoQuality();
        return;
    }
    for (VideoWidget* player : qAsConst(m_players))
        player->setQuality(quality);
}

int LayoutWidget::qualityFor(VideoWidget* player) const
{
    const bool single = m_layout && m_layout->rows() == 1 && m_layout->columns() == 1;
    return player->detailQuality(qualityFor(player->width(), m_maximized && player->isVisible(), single));
}

void LayoutWidget::applyAutoQuality()
{
    // setQuality restarts a player only when its quality really changes.
    for (VideoWidget* player : qAsConst(m_players)) {
        if (cellQuality(player) == autoQuality && (player->isVisible() || !m_maximized))
            player->setQuality(qualityFor(player));
    }
}

// Kept on the player itself: the choice goes when the cell does.
void LayoutWidget::setCellQuality(VideoWidget* player, int quality)
{
    if (!m_players.values().contains(player) || quality < autoQuality || quality > 2)
        return;
    player->setProperty(cellQualityProperty, quality);
    updateHealth(player);
    player->setQuality(quality == autoQuality ? qualityFor(player) : quality);
}

int LayoutWidget::cellQuality(VideoWidget* player) const
{
    const QVariant own = player->property(cellQualityProperty);
    return own.isValid() ? own.toInt() : m_quality;
}

void LayoutWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_settle.start();
}

PlayerNotification* LayoutWidget::notify(const QString& text, bool error)
{
    auto* notification = new PlayerNotification(text, error, this);
    notification->adjustSize();
    notification->move(10, -notification->height() - 1);
    notification->show();
    m_notifications.append(notification);
    connect(notification, &PlayerNotification::closed, this, [this, notification] {
        m_notifications.removeAll(notification);
        notification->deleteLater();
        updateHintPositions();
    });
    updateHintPositions();
    return notification;
}

void LayoutWidget::updateHintPositions()
{
    int y = 10;
    for (PlayerNotification* notification : qAsConst(m_notifications)) {
        notification->raise();
        notification->animateTo(QPoint(10, y));
        y += notification->height() + 6;
    }
}

void LayoutWidget::showSnapshotHint(QString path)
{
    notify(tr("Snapshot saved.") + QStringLiteral(" <a style=\"color: white\" href=\"%1\">").arg(path.toHtmlEscaped())
               + tr("Open folder") + QStringLiteral("</a>."),
           false);
}

void LayoutWidget::showSnapshotError()
{
    notify(tr("An error occurred while saving the snapshot"), true);
}

void LayoutWidget::showExportDone(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    notify(tr("Recording saved.") + QStringLiteral(" <a style=\"color: white\" href=\"%1\">").arg(folder.toHtmlEscaped())
               + tr("Open folder") + QStringLiteral("</a>."),
           false);
}

void LayoutWidget::showExportError()
{
    notify(tr("An error occurred while exporting"), true);
}

void LayoutWidget::showProblem(const QString& text)
{
    // Plain text: file names may hold characters that mean markup. A problem
    // with the user's files stays until read and closed.
    notify(text.toHtmlEscaped(), true)->stayUntilClosed();
}

void LayoutWidget::setDropHighlight(bool on)
{
    setProperty("drop", on);
    style()->unpolish(this);
    style()->polish(this);
    update();
}

void LayoutWidget::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (mime->data(QStringLiteral("server")).isEmpty() && mime->data(QStringLiteral("layout")).isEmpty())
        return;
    setDropHighlight(true);
    event->acceptProposedAction();
}

void LayoutWidget::dragLeaveEvent(QDragLeaveEvent*)
{
    setDropHighlight(false);
}

void LayoutWidget::dropEvent(QDropEvent* event)
{
    setDropHighlight(false);
    if (event->source() == this && event->dropAction() == Qt::MoveAction)
        return;
    const QMimeData* mime = event->mimeData();
    if (!mime->data(QStringLiteral("layout")).isEmpty()) {
        const QString id = QString::fromUtf8(mime->data(QStringLiteral("layout")));
        if (const API::LayoutPtr layout = App::Layouts::instance()->item(id))
            emit layoutDropped(layout);
    } else if (!mime->data(QStringLiteral("server")).isEmpty() && m_layout) {
        QDataStream stream(mime->data(QStringLiteral("server")));
        QString serverId;
        stream >> serverId;
        const API::ServerPtr server = App::Roster::instance()->item(serverId);
        if (!server)
            return;
        QList<API::CameraPtr> cameras;
        for (const API::CameraPtr& camera : server->items()) {
            if (camera->exists())
                cameras << camera;
        }
        const int extra = cameras.size() - m_layout->freeCellsCount();
        // The layout shown may be the stored one: growing it here would outlive a discarded edit.
        const QSize grown = grownSize(m_layout->rows(), m_layout->columns(), extra);
        if (grown != QSize(m_layout->columns(), m_layout->rows()))
            emit resizeRequested(grown.height(), grown.width());
        for (const API::CameraPtr& camera : qAsConst(cameras)) {
            const API::LayoutCellPoint point = m_layout->firstFreeCell();
            if (point.row < 0)
                break;
            emit cameraDroppedFromRoster(camera, point);
        }
    }
    event->acceptProposedAction();
}

} // namespace OrvantaClient::GUI
