#include "ptzwidget_p.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace OrvantaClient::GUI {

namespace {

const QString iconPath = QStringLiteral(":/player/icons/");

QPixmap icon(const QString& name)
{
    return QPixmap(iconPath + name + QStringLiteral(".png"));
}

// A pixmap centred in a rectangle, with its top-left corner returned.
QPoint centredIn(const QRect& rect, const QSize& size)
{
    return {rect.x() + (rect.width() - size.width()) / 2, rect.y() + (rect.height() - size.height()) / 2};
}

} // namespace

// ---- Hover and release ----

PtzHoverPrivate::PtzHoverPrivate(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void PtzHoverPrivate::setPart(int part)
{
    m_part = part;
    update();
}

void PtzHoverPrivate::mouseMoveEvent(QMouseEvent* event)
{
    setPart(partAt(event->localPos().toPoint()));
}

void PtzHoverPrivate::leaveEvent(QEvent*)
{
    setPart(0);
}

void PtzHoverPrivate::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_part != 0)
        activate(m_part);
}

// ---- Direction pad ----

PtzMovePrivate::PtzMovePrivate(QWidget* parent)
    : PtzHoverPrivate(parent)
{
    setMinimumSize(100, 100);
}

int PtzMovePrivate::sectorAt(const QPoint& position)
{
    const int dx = position.x() - centre.x();
    const int dy = centre.y() - position.y();
    const int distance2 = dx * dx + dy * dy;
    if (distance2 < innerRadius * innerRadius || distance2 > outerRadius * outerRadius)
        return 0;
    qreal angle = qRadiansToDegrees(qAtan2(dy, dx));
    if (angle < 0)
        angle += 360;
    const int t = qFloor(angle + 22.5);
    return ((360 - t % 360) / 45 + 3) % 8 + 1;
}

API::Camera::PtzMoveDirections PtzMovePrivate::directionOf(int sector)
{
    using C = API::Camera;
    static const int directions[] = {C::Home,          C::Up,   C::Up | C::Right,  C::Right,
                                     C::Down | C::Right, C::Down, C::Down | C::Left, C::Left,
                                     C::Up | C::Left};
    if (sector < 0 || sector > 8)
        return C::Home;
    return static_cast<C::PtzMoveDirections>(directions[sector]);
}

void PtzMovePrivate::activate(int sector)
{
    emit clicked(directionOf(sector));
}

void PtzMovePrivate::paintEvent(QPaintEvent*)
{
    // Everything is centred on the point the pointer is tested against, so that
    // what is drawn is what can be clicked.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().window());
    painter.drawEllipse(centre, 48, 48);
    const QPixmap pad = icon(QStringLiteral("ptz_circle"));
    painter.drawPixmap(centre - QPoint(pad.width() / 2, pad.height() / 2), pad);
    if (hoveredSector() != 0) {
        const QPixmap sector = icon(QStringLiteral("ptz_") + QString::number(hoveredSector()));
        painter.drawPixmap(centre - QPoint(sector.width() / 2, sector.height() / 2), sector);
    }
}

// ---- Zoom pair ----

PtzZoomPrivate::PtzZoomPrivate(QWidget* parent)
    : PtzHoverPrivate(parent)
{
    setMinimumSize(88, 32);
}

int PtzZoomPrivate::halfAt(int x, int widgetWidth)
{
    const int w = widgetWidth - 1;
    const int left = (w - 81) / 2;
    if (x < left || x >= left + 82)
        return 0;
    return x < (w + 1) / 2 ? 1 : 2;
}

void PtzZoomPrivate::activate(int half)
{
    emit clicked(half == 1 ? zoomStep : -zoomStep);
}

void PtzZoomPrivate::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap background = icon(QStringLiteral("ptz_zoom"));
    const QPoint corner = centredIn(rect(), background.size());
    painter.drawPixmap(corner, background);
    const QString hover = QStringLiteral("_hover");
    const QPixmap plus = icon(QStringLiteral("ptz_plus") + (hoveredHalf() == 1 ? hover : QString()));
    const QPixmap minus = icon(QStringLiteral("ptz_min") + (hoveredHalf() == 2 ? hover : QString()));
    // The minus mirrors the plus about the background's middle.
    const QPoint plusAt = corner + QPoint(24, 10);
    painter.drawPixmap(plusAt, plus);
    painter.drawPixmap(corner + QPoint(background.width() - 24 - minus.width(), 10), minus);
}

// ---- Patrol button ----

PtzPatrolPrivate::PtzPatrolPrivate(QWidget* parent)
    : QWidget(parent)
    , m_menu(new QMenu(this))
{
    setMouseTracking(true);
    setMinimumSize(48, 32);
    setCursor(Qt::PointingHandCursor);
    connect(m_menu, &QMenu::triggered, this, &PtzPatrolPrivate::onTriggered);
}

void PtzPatrolPrivate::enterEvent(QEvent*)
{
    m_hovered = true;
    update();
}

void PtzPatrolPrivate::leaveEvent(QEvent*)
{
    m_hovered = false;
    update();
}

void PtzPatrolPrivate::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !m_menu->isEmpty())
        m_menu->popup(mapToGlobal(QPoint(width(), 0)));
}

void PtzPatrolPrivate::onTriggered(QAction* action)
{
    // The route number is the entry's last word, whatever the language made of
    // the words before it.
    bool ok = false;
    const int route = action->text().split(QLatin1Char(' ')).last().toInt(&ok, 10);
    if (ok)
        emit clicked(route);
}

void PtzPatrolPrivate::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap pixmap = icon(m_hovered ? QStringLiteral("iconPatrol_hover") : QStringLiteral("iconPatrol"));
    painter.drawPixmap(centredIn(rect(), pixmap.size()), pixmap);
}

} // namespace OrvantaClient::GUI
