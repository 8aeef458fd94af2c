#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

class QPushButton;

namespace OrvantaClient::GUI::Player {

// The corner of a zoomed cell that shows the whole picture, the part the cell
// shows framed in it, and the zoom factor: a click or drag in it moves the view
// there, and its "1:1" button shows the whole picture again.
class ZoomOverview : public QWidget
{
    Q_OBJECT
public:
    explicit ZoomOverview(QWidget* parent = nullptr);

    // picture and source: the picture and the part of it the cell shows unzoomed;
    // region: the zoomed part, in fractions of source.
    void setView(const QImage& picture, const QRectF& source, const QRectF& region, double factor);
    // Where the overview goes in a cell of the given size for a picture of that
    // shape: the top-right corner under the cell's top bar, clear of the PTZ pad
    // at the bottom; empty when the cell is too small for one.
    static QRect placement(const QSize& cell, const QSizeF& picture, int topBar);
    QRect thumbnailRect() const;

signals:
    void centreRequested(QPointF picture);
    void resetRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void requestCentre(const QPoint& pos);

    QImage m_picture;
    QRectF m_source;
    QRectF m_region;
    double m_factor = 1.0;
    QPushButton* m_reset = nullptr;
};

} // namespace OrvantaClient::GUI::Player
