#include "dragdata.h"

#include "model/camera.h"
#include "model/server.h"
#include "stores/roster.h"

#include <QDataStream>
#include <QMimeData>

namespace OrvantaClient::GUI::Player {

QMimeData* DragData::swap(const API::LayoutCellPoint& source)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << qint32(source.row) << qint32(source.column);
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("layout-swap"), data);
    return mime;
}

API::LayoutCellPoint DragData::swapSource(const QMimeData* mime)
{
    if (!mime->hasFormat(QStringLiteral("layout-swap")))
        return API::LayoutCellPoint(-1, -1);
    QDataStream stream(mime->data(QStringLiteral("layout-swap")));
    qint32 row = -1, column = -1;
    stream >> row >> column;
    return stream.status() == QDataStream::Ok ? API::LayoutCellPoint(column, row) : API::LayoutCellPoint(-1, -1);
}

API::CameraPtr DragData::camera(const QMimeData* mime)
{
    if (!mime->hasFormat(QStringLiteral("camera")))
        return nullptr;
    QDataStream stream(mime->data(QStringLiteral("camera")));
    QString serverId;
    qint32 cameraId = 0;
    stream >> serverId >> cameraId;
    if (stream.status() != QDataStream::Ok)
        return nullptr;
    const API::ServerPtr server = App::Roster::instance()->item(serverId);
    return server ? server->item(cameraId) : nullptr;
}

} // namespace OrvantaClient::GUI::Player
