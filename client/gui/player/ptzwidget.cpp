#include "ptzwidget.h"

#include "ptzwidget_p.h"

#include <QAction>
#include <QGridLayout>
#include <QMenu>

namespace OrvantaClient::GUI {

PtzWidget::PtzWidget(QWidget* parent)
    : QWidget(parent)
    , m_move(new PtzMovePrivate)
    , m_zoom(new PtzZoomPrivate)
    , m_patrol(new PtzPatrolPrivate)
{
    static const int registered = qRegisterMetaType<API::Camera::PtzMoveDirections>("API::Camera::PtzMoveDirections");
    Q_UNUSED(registered)
    setMouseTracking(true);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(m_move, 0, 0);
    layout->addWidget(m_zoom, 1, 0);
    layout->addWidget(m_patrol, 1, 1);
    m_patrol->hide();
    setMinimumHeight(m_move->minimumHeight() + spacing + m_zoom->minimumHeight());
    updateMinimumWidth();

    connect(m_move, &PtzMovePrivate::clicked, this, qOverload<API::Camera::PtzMoveDirections>(&PtzWidget::move));
    connect(m_zoom, &PtzZoomPrivate::clicked, this, &PtzWidget::zoom);
    connect(m_patrol, &PtzPatrolPrivate::clicked, this, &PtzWidget::patrol);
}

void PtzWidget::setPatrolVisible(bool visible)
{
    m_patrol->setVisible(visible);
    updateMinimumWidth();
}

void PtzWidget::updateMinimumWidth()
{
    int width = m_move->minimumWidth();
    if (!m_patrol->isHidden())
        width += spacing + m_patrol->minimumWidth();
    setMinimumWidth(width);
}

void PtzWidget::setPatrols(const QList<int>& routes)
{
    setPatrolVisible(!routes.isEmpty());
    QMenu* menu = m_patrol->menu();
    // An entry may be the one whose triggering brought us here: delete later.
    for (QAction* action : menu->actions()) {
        menu->removeAction(action);
        action->deleteLater();
    }
    for (int route : routes)
        menu->addAction(routeName(route));
}

QString PtzWidget::routeName(int route)
{
    return tr("Route %1").arg(route);
}

int PtzWidget::directionAt(QPointF point, QRectF pictureRect)
{
    using C = API::Camera;
    if (pictureRect.isEmpty() || !pictureRect.contains(point))
        return noDirection;
    const qreal w = pictureRect.width();
    const qreal h = pictureRect.height();
    const qreal fx = point.x() - pictureRect.center().x();
    const qreal fy = pictureRect.center().y() - point.y();
    if (qAbs(fx) <= 0.2 * w && qAbs(fy) <= 0.2 * h)
        return centreDirection;
    // Four lines through the centre split the picture into eight sectors: the
    // steep pair bounds up and down, the shallow pair bounds left and right.
    const qreal steep = 2 * h / w;
    const qreal shallow = h / (2 * w);
    const int horizontal = fx > 0 ? C::Right : C::Left;
    const int vertical = fy > 0 ? C::Up : C::Down;
    if (qAbs(fy) > steep * qAbs(fx))
        return vertical;
    if (qAbs(fy) < shallow * qAbs(fx))
        return horizontal;
    return horizontal | vertical;
}

} // namespace OrvantaClient::GUI
