#include "layout.h"

#include "camera.h"
#include "server.h"
#include "core/constants.h"

#include <QDebug>
#include <QFileInfo>
#include <QJsonArray>
#include <QPainter>
#include <QUuid>
#include <algorithm>

namespace OrvantaClient::API {

Layout::Layout()
    : ApiItem<layout_id_t>(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    registerMetaTypes(); // cell points travel in this layout's signals
    setName(tr("Untitled layout"));
}

Layout::Layout(const QJsonObject& json, const ServerLookup& servers)
    : ApiItem<layout_id_t>(json.value(QStringLiteral("id")).toString())
{
    registerMetaTypes();
    fromJson(json, servers);
}

Layout::Layout(const Layout& other)
    : QObject()
    , ApiItem<layout_id_t>(other.id())
{
    setName(other.name());
    setExists(other.exists());
    resize(other.rows(), other.columns());
    for (const Cell& cell : other.m_cells)
        addCamera(cell.camera, cell.row, cell.column, cell.w, cell.h);
}

Layout::~Layout()
{
    // Keep the cameras' cell counts balanced; the connections go with this object.
    for (const Cell& cell : qAsConst(m_cells))
        cell.camera->removedFromLayout();
}

CameraPtr Layout::firstCamera() const
{
    return m_cells.isEmpty() ? CameraPtr() : m_cells.first().camera;
}

QList<CameraPtr> Layout::cameras() const
{
    QList<CameraPtr> list;
    for (const Cell& cell : m_cells)
        list.append(cell.camera);
    return list;
}

Layout::Cell Layout::cell(const LayoutCellPoint& point) const
{
    const auto it = m_cells.constFind(point);
    if (it != m_cells.constEnd())
        return it.value();
    Cell empty;
    empty.column = point.column;
    empty.row = point.row;
    return empty;
}

LayoutCellPoint Layout::firstFreeCell() const
{
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            if (!m_cells.contains(LayoutCellPoint(column, row)))
                return LayoutCellPoint(column, row);
        }
    }
    return LayoutCellPoint(-1, -1);
}

int Layout::freeCellsCount() const
{
    int taken = 0;
    for (const Cell& cell : m_cells)
        taken += cell.w * cell.h;
    return m_rows * m_columns - taken;
}

void Layout::resize(int rows, int columns)
{
    rows = qBound(minSize, rows, maxSize);
    columns = qBound(minSize, columns, maxSize);
    if (rows == m_rows && columns == m_columns)
        return;
    if (rows < m_rows || columns < m_columns) {
        const QList<LayoutCellPoint> points = m_cells.keys();
        for (const LayoutCellPoint& point : points) {
            if (point.row >= rows || point.column >= columns)
                removeCamera(point);
        }
    }
    m_rows = rows;
    m_columns = columns;
    emit resized();
}

QList<CameraPtr> Layout::camerasOutside(int rows, int columns) const
{
    rows = qBound(minSize, rows, maxSize);
    columns = qBound(minSize, columns, maxSize);
    QList<Cell> cells;
    for (const Cell& cell : m_cells) {
        if (cell.row >= rows || cell.column >= columns)
            cells << cell;
    }
    // In reading order, as a user names them looking at the grid.
    std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    QList<CameraPtr> outside;
    for (const Cell& cell : qAsConst(cells))
        outside << cell.camera;
    return outside;
}

void Layout::addCamera(const CameraPtr& camera, int row, int column, int w, int h)
{
    if (!camera || row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return;
    const LayoutCellPoint point(column, row);
    const auto it = m_cells.constFind(point);
    if (it != m_cells.constEnd() && it->camera == camera)
        return;
    removeCamera(point);
    Cell cell;
    cell.camera = camera;
    cell.column = column;
    cell.row = row;
    // A span never reaches outside the grid.
    cell.w = qBound(1, w, m_columns - column);
    cell.h = qBound(1, h, m_rows - row);
    m_cells.insert(point, cell);
    connectCamera(camera);
    camera->addedToLayout();
    emit cameraAdded(point);
}

void Layout::addCamera(const CameraPtr& camera)
{
    const LayoutCellPoint point = firstFreeCell();
    if (point.row >= 0)
        addCamera(camera, point.row, point.column, 1, 1);
}

void Layout::connectCamera(const CameraPtr& camera)
{
    connect(camera.get(), &Camera::previewChanged, this, &Layout::camerasPreviewUpdated, Qt::UniqueConnection);
    connect(camera.get(), &Camera::recordsChanged, this, &Layout::camerasTimelineUpdated, Qt::UniqueConnection);
    connect(camera.get(), &Camera::calendarChanged, this, &Layout::camerasCalendarUpdated, Qt::UniqueConnection);
}

void Layout::removeCamera(const LayoutCellPoint& point)
{
    const auto it = m_cells.find(point);
    if (it == m_cells.end())
        return;
    const CameraPtr camera = it->camera;
    m_cells.erase(it);
    if (camera) {
        // A camera shown in another cell of this layout keeps its connections.
        bool stillShown = false;
        for (const Cell& cell : qAsConst(m_cells))
            stillShown = stillShown || cell.camera == camera;
        if (!stillShown)
            disconnect(camera.get(), nullptr, this, nullptr);
        camera->removedFromLayout();
    }
    emit cameraRemoved(point);
}

void Layout::exchange(const LayoutCellPoint& a, const LayoutCellPoint& b)
{
    if (!m_cells.contains(a) || b.row < 0 || b.column < 0 || b.row >= m_rows || b.column >= m_columns)
        return;
    Cell first = m_cells.take(a);
    if (m_cells.contains(b)) {
        Cell second = m_cells.take(b);
        m_cells.insert(a, {second.camera, a.column, a.row, 1, 1});
    }
    m_cells.insert(b, {first.camera, b.column, b.row, 1, 1});
    emit exchanged(a, b);
}

void Layout::update(const Layout& other)
{
    setName(other.name());
    if (other.exists() != exists())
        setExists(other.exists());
    resize(other.rows(), other.columns());
    const QList<LayoutCellPoint> points = m_cells.keys();
    for (const LayoutCellPoint& point : points)
        removeCamera(point);
    for (const Cell& cell : other.m_cells)
        addCamera(cell.camera, cell.row, cell.column, cell.w, cell.h);
    emit camerasPreviewUpdated();
}

void Layout::fromJson(const QJsonObject& json, const ServerLookup& servers)
{
    if (!exists())
        setExists(true);
    setName(answeredName(json.value(QStringLiteral("name")).toString()));
    resize(json.value(QStringLiteral("rows")).toInt(0), json.value(QStringLiteral("columns")).toInt(0));

    for (const QJsonValue& value : json.value(QStringLiteral("cameras")).toArray()) {
        const QJsonObject object = value.toObject();
        const server_id_t serverId = object.value(QStringLiteral("server")).toString();
        const camera_id_t cameraId = object.value(QStringLiteral("camera")).toInt(0);
        const ServerPtr server = servers ? servers(serverId) : ServerPtr();
        if (!server) {
            // A camera holds its server without owning it: a server no one holds
            // would leave the cell without the server id it is written back with.
            qDebug() << "Layout cell skipped, no server found for it" << serverId << cameraId;
            continue;
        }
        CameraPtr camera = server->item(cameraId);
        if (!camera) {
            camera = std::make_shared<Camera>(server.get(), cameraId);
            server->add(camera);
        }
        addCamera(camera, object.value(QStringLiteral("row")).toInt(0), object.value(QStringLiteral("column")).toInt(0),
                  object.value(QStringLiteral("w")).toInt(0), object.value(QStringLiteral("h")).toInt(0));
    }
}

QJsonObject Layout::toJson() const
{
    QJsonArray cells;
    for (const Cell& cell : m_cells) {
        cells.append(QJsonObject{
            {QStringLiteral("server"), cell.camera->server() ? cell.camera->server()->id() : QString()},
            {QStringLiteral("camera"), cell.camera->id()},
            {QStringLiteral("row"), cell.row},
            {QStringLiteral("column"), cell.column},
            {QStringLiteral("w"), cell.w},
            {QStringLiteral("h"), cell.h},
        });
    }
    return QJsonObject{
        {QStringLiteral("name"), name()},
        {QStringLiteral("rows"), m_rows},
        {QStringLiteral("columns"), m_columns},
        {QStringLiteral("id"), id()},
        {QStringLiteral("cameras"), cells},
    };
}

bool Layout::hasRecords(const QDate& date) const
{
    for (const Cell& cell : m_cells) {
        if (cell.camera->hasRecords(date))
            return true;
    }
    return false;
}

bool Layout::hasCalendarDay(const QDate& date) const
{
    for (const Cell& cell : m_cells) {
        if (cell.camera->calendar().value(date) > 0)
            return true;
    }
    return false;
}

QPixmap Layout::cellPicture(const Cell& cell, const QSize& size) const
{
    if (!cell.camera) {
        const QPixmap logo(QStringLiteral(":/player/icons/") + QLatin1String(App::Constants::internalName)
                           + QStringLiteral("_logo.png"));
        return logo.isNull() ? QPixmap()
                             : logo.scaled(size * 3 / 5, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    const CameraPtr& camera = cell.camera;
    if (!camera->exists() || !camera->isAvailable())
        return QPixmap();
    const QPixmap preview = camera->transformedPreview();
    if (!preview.isNull())
        return preview.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (QFileInfo::exists(camera->cacheFileName()))
        return QPixmap(camera->cacheFileName()).scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    camera->setActive(true); // fetches a preview; the layout repaints on camerasPreviewUpdated
    return QPixmap();
}

QPixmap Layout::previewPixmap() const
{
    QPixmap picture(640, 480);
    picture.fill(QColor(25, 25, 29));
    const int cellWidth = 640 / m_columns;
    const int cellHeight = 480 / m_rows;
    QPainter painter(&picture);
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            const QRect area(column * cellWidth, row * cellHeight, cellWidth, cellHeight);
            const QPixmap cellPixmap = cellPicture(cell(LayoutCellPoint(column, row)), area.size());
            if (cellPixmap.isNull())
                continue;
            QRect target(QPoint(), cellPixmap.size());
            target.moveCenter(area.center());
            painter.drawPixmap(target, cellPixmap);
        }
    }
    painter.setPen(QPen(QColor(41, 44, 49), 3.0));
    for (int k = 1; k < m_rows; ++k)
        painter.drawLine(0, k * cellHeight, 640, k * cellHeight);
    for (int k = 1; k < m_columns; ++k)
        painter.drawLine(k * cellWidth, 0, k * cellWidth, 480);
    return picture;
}

void Layout::onNameChanged()
{
    emit layoutNameChanged(name());
}

void Layout::onExistsChanged(bool exists)
{
    if (!exists)
        emit layoutRemoved();
}

} // namespace OrvantaClient::API
