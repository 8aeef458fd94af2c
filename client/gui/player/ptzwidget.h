#pragma once

#include "model/camera.h"

#include <QWidget>

namespace OrvantaClient::GUI {

class PtzMovePrivate;
class PtzZoomPrivate;
class PtzPatrolPrivate;

// The small panel over a PTZ camera's picture: a direction pad, a zoom pair and
// a patrol button. It only asks; the video widget passes the requests on to the
// camera.
class PtzWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PtzWidget(QWidget* parent = nullptr);

    // The move signal hides QWidget::move; this brings the positioning back.
    // Connect to the signal with qOverload<API::Camera::PtzMoveDirections>.
    using QWidget::move;

    void setPatrolVisible(bool visible);
    // Shows the patrol button exactly when routes is not empty and offers one
    // menu entry per route, in list order.
    void setPatrols(const QList<int>& routes);

    // What a click into the picture asks for: 0 outside pictureRect, centreDirection
    // in its middle (no request), else the direction of the sector it falls in.
    static int directionAt(QPointF point, QRectF pictureRect);
    // A patrol route as the patrol menu names it.
    static QString routeName(int route);
    static constexpr int noDirection = 0;
    static constexpr int centreDirection = 32;

    static constexpr int spacing = 4;

signals:
    void move(API::Camera::PtzMoveDirections direction);
    void zoom(int factor);
    void patrol(int route);

private:
    void updateMinimumWidth();

    PtzMovePrivate* m_move;
    PtzZoomPrivate* m_zoom;
    PtzPatrolPrivate* m_patrol;
};

} // namespace OrvantaClient::GUI
