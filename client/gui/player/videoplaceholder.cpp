#include "videoplaceholder.h"

#include "dragdata.h"

#include "core/constants.h"
#include "model/camera.h"
#include "model/server.h"
#include "stores/roster.h"

#include <QDataStream>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>

namespace OrvantaClient::GUI::Player {

VideoPlaceholder::VideoPlaceholder(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VideoPlaceholder"));
    setMinimumSize(155, 110);
    setAcceptDrops(true);
    setProperty("drop", false);
    setStyleSheet(QStringLiteral("#VideoPlaceholder { background-color: rgb(25, 25, 29); border: none; }"
                                 "#VideoPlaceholder[drop=\"true\"] { border: 2px solid #3eb7fd; border-radius: 1px; }"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addStretch();
    auto* logo = new QLabel(this);
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(QPixmap(QStringLiteral(":/player/icons/") + QLatin1String(App::Constants::internalName)
                            + QStringLiteral("_logo.png"))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* text = new QLabel(tr("Drop a camera here"), this);
    text->setAlignment(Qt::AlignCenter);
    text->setStyleSheet(QStringLiteral("color: rgb(120, 128, 140);"));
    box->addWidget(logo);
    box->addWidget(text);
    box->addStretch();
}

void VideoPlaceholder::paintEvent(QPaintEvent*)
{
    // Style sheets reach a plain QWidget subclass only through this.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void VideoPlaceholder::setDropHighlight(bool on)
{
    setProperty("drop", on);
    style()->unpolish(this);
    style()->polish(this);
    update();
}

void VideoPlaceholder::dragEnterEvent(QDragEnterEvent* event)
{
    const Qt::DropAction action = DragData::dropAction(event->mimeData(), parentWidget(), m_position);
    if (action == Qt::IgnoreAction || event->source() == this)
        return;
    setDropHighlight(true);
    event->setDropAction(action);
    event->accept();
}

void VideoPlaceholder::dragLeaveEvent(QDragLeaveEvent*)
{
    setDropHighlight(false);
}

void VideoPlaceholder::dropEvent(QDropEvent* event)
{
    setDropHighlight(false);
    if (event->source() == this)
        return;
    const QMimeData* mime = event->mimeData();
    const Qt::DropAction action = DragData::dropAction(mime, parentWidget(), m_position);
    if (action == Qt::MoveAction) {
        emit droppedFromLayout(DragData::swapSource(mime), m_position);
    } else if (const API::CameraPtr camera = action == Qt::CopyAction ? DragData::camera(mime) : nullptr) {
        emit droppedFromRoster(camera, m_position);
    } else {
        return;
    }
    event->setDropAction(action);
    event->accept();
}

} // namespace OrvantaClient::GUI::Player
