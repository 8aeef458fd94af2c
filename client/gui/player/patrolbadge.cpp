#include "patrolbadge.h"

#include "ptzwidget.h"
#include "videowidget.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace OrvantaClient::GUI::Player {

PatrolBadge::PatrolBadge(API::CameraPtr camera, QWidget* cell)
    : QWidget(cell)
    , m_camera(std::move(camera))
    , m_label(new QLabel(this))
    , m_stop(new QPushButton(tr("Stop"), this))
{
    setObjectName(QStringLiteral("patrolBadge"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#patrolBadge { background-color: rgba(0, 0, 0, 160); border-radius: 3px; }"
                                 " QLabel { color: white; font-size: 13px; }"
                                 " QPushButton { color: white; font-size: 13px; border: 1px solid white;"
                                 " border-radius: 3px; padding: 1px 8px; background: transparent; }"
                                 " QPushButton:hover { background-color: rgb(62, 183, 253); }"));
    m_stop->setObjectName(QStringLiteral("stopPatrolButton"));
    m_stop->setToolTip(tr("Stop the patrol: the camera turns to its home position"));
    m_stop->setCursor(Qt::PointingHandCursor);
    // A click on a cell's button leaves the keys to the window's shortcuts.
    m_stop->setFocusPolicy(Qt::NoFocus);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 2, 2);
    row->setSpacing(8);
    row->addWidget(m_label);
    row->addWidget(m_stop);
    connect(m_stop, &QPushButton::clicked, m_camera.get(), &API::Camera::stopPtzPatrol);
    connect(m_camera.get(), &API::Camera::runningPatrolChanged, this, &PatrolBadge::follow);
    cell->installEventFilter(this);
    follow();
}

QString PatrolBadge::text() const
{
    return isVisibleTo(parentWidget()) ? m_label->text() : QString();
}

void PatrolBadge::follow()
{
    const int route = m_camera->runningPatrol();
    m_label->setText(route == 0 ? QString() : tr("Patrol: %1").arg(PtzWidget::routeName(route)));
    adjustSize();
    // Above the cell's bottom bar (as high as the cell makes it), across the
    // cell from the PTZ panel.
    const QWidget* cell = parentWidget();
    const int barHeight = VideoWidget::barHeight(cell);
    move(8, cell->height() - barHeight - height() - 8);
    const bool fits = width() + 16 <= cell->width() && barHeight * 2 + height() + 16 <= cell->height();
    setVisible(route != 0 && fits);
    if (!isHidden())
        raise();
}

bool PatrolBadge::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        follow();
    return QWidget::eventFilter(watched, event);
}

} // namespace OrvantaClient::GUI::Player
