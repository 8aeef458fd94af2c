#pragma once

#include "model/camera.h"

#include <QWidget>

class QMenu;

namespace OrvantaClient::GUI {

// Common ground of the pad and the zoom pair: the part under the pointer lights
// up, and releasing the button over it acts on that part; 0 stands for none.
class PtzHoverPrivate : public QWidget
{
    Q_OBJECT
public:
    int hoveredPart() const { return m_part; }

protected:
    explicit PtzHoverPrivate(QWidget* parent);
    virtual int partAt(const QPoint& position) const = 0;
    virtual void activate(int part) = 0;

    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setPart(int part);

    int m_part = 0;
};

// The direction pad: eight sectors on a ring, numbered clockwise from the top.
class PtzMovePrivate : public PtzHoverPrivate
{
    Q_OBJECT
public:
    explicit PtzMovePrivate(QWidget* parent = nullptr);

    int hoveredSector() const { return hoveredPart(); }
    // The sector under a pad position, 0 off the ring.
    static int sectorAt(const QPoint& position);
    static API::Camera::PtzMoveDirections directionOf(int sector);

    static constexpr QPoint centre{48, 48};
    static constexpr int innerRadius = 17;
    static constexpr int outerRadius = 45;

signals:
    void clicked(API::Camera::PtzMoveDirections direction);

protected:
    int partAt(const QPoint& position) const override { return sectorAt(position); }
    void activate(int sector) override;
    void paintEvent(QPaintEvent* event) override;
};

// The zoom pair: plus on the left half, minus on the right.
class PtzZoomPrivate : public PtzHoverPrivate
{
    Q_OBJECT
public:
    explicit PtzZoomPrivate(QWidget* parent = nullptr);

    int hoveredHalf() const { return hoveredPart(); }
    // 1 (plus), 2 (minus) or 0 (neither) for x in a widget of that width.
    static int halfAt(int x, int widgetWidth);

    static constexpr int zoomStep = 100;

signals:
    void clicked(int factor);

protected:
    int partAt(const QPoint& position) const override { return halfAt(position.x(), width()); }
    void activate(int half) override;
    void paintEvent(QPaintEvent* event) override;
};

// The patrol button: a menu of the camera's patrol routes.
class PtzPatrolPrivate : public QWidget
{
    Q_OBJECT
public:
    explicit PtzPatrolPrivate(QWidget* parent = nullptr);

    bool isHovered() const { return m_hovered; }
    QMenu* menu() const { return m_menu; }

signals:
    void clicked(int route);

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void onTriggered(QAction* action);

    bool m_hovered = false;
    QMenu* m_menu;
};

} // namespace OrvantaClient::GUI
