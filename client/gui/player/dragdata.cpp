#include "dragdata.h"

#include "model/camera.h"
#include "model/server.h"
#include "stores/roster.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QMimeData>

namespace OrvantaClient::GUI::Player {

namespace {

const QString swapFormat = QStringLiteral("layout-swap");
const QString gridFormat = QStringLiteral("layout-swap-grid");
const QString cameraFormat = QStringLiteral("camera");

// Unique among the grids of every running program for as long as the grid lives.
QByteArray gridToken(const QObject* grid)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
        + QByteArray::number(quintptr(grid), 16);
}

} // namespace

QMimeData* DragData::cell(const API::LayoutCellPoint& source, const API::CameraPtr& camera, const QObject* grid)
{
    auto* mime = new QMimeData;
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << qint32(source.row) << qint32(source.column);
    mime->setData(swapFormat, data);
    mime->setData(gridFormat, gridToken(grid));
    if (const API::Server* server = camera ? camera->server() : nullptr) {
        QByteArray cameraData;
        QDataStream cameraStream(&cameraData, QIODevice::WriteOnly);
        cameraStream << server->id() << qint32(camera->id());
        mime->setData(cameraFormat, cameraData);
    }
    return mime;
}

API::LayoutCellPoint DragData::swapSource(const QMimeData* mime)
{
    if (!mime->hasFormat(swapFormat))
        return API::LayoutCellPoint(-1, -1);
    QDataStream stream(mime->data(swapFormat));
    qint32 row = -1, column = -1;
    stream >> row >> column;
    return stream.status() == QDataStream::Ok ? API::LayoutCellPoint(column, row) : API::LayoutCellPoint(-1, -1);
}

bool DragData::isSwapWithin(const QMimeData* mime, const QObject* grid)
{
    if (!mime->hasFormat(swapFormat))
        return false;
    return !mime->hasFormat(gridFormat) || mime->data(gridFormat) == gridToken(grid);
}

Qt::DropAction DragData::dropAction(const QMimeData* mime, const QObject* grid, const API::LayoutCellPoint& target)
{
    if (isSwapWithin(mime, grid))
        return swapSource(mime) == target ? Qt::IgnoreAction : Qt::MoveAction;
    return mime->hasFormat(cameraFormat) ? Qt::CopyAction : Qt::IgnoreAction;
}

API::CameraPtr DragData::camera(const QMimeData* mime)
{
    if (!mime->hasFormat(cameraFormat))
        return nullptr;
    QDataStream stream(mime->data(cameraFormat));
    QString serverId;
    qint32 cameraId = 0;
    stream >> serverId >> cameraId;
    if (stream.status() != QDataStream::Ok)
        return nullptr;
    const API::ServerPtr server = App::Roster::instance()->item(serverId);
    return server ? server->item(cameraId) : nullptr;
}

} // namespace OrvantaClient::GUI::Player
