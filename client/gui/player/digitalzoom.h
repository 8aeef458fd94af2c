#pragma once

#include <QPointF>
#include <QRectF>

namespace OrvantaClient::GUI::Player {

// Which part of a cell's picture is shown when the user zooms into it. Points
// and the region are fractions of the whole picture as the cell shows it (turned,
// mirrored and cropped as set for the camera), so the zoom survives a new stream
// of another size; view points are fractions of the cell's picture area.
class DigitalZoom
{
public:
    static constexpr double maximumFactor = 8.0;
    // One wheel notch or key press multiplies or divides the factor by this.
    static constexpr double stepFactor = 1.25;

    double factor() const { return m_factor; }
    bool isZoomed() const { return m_factor > 1.0; }
    QRectF region() const;

    // Zooms to the factor (bounded to 1..8) keeping the picture point under the
    // view point where it is, as a pointer expects; steps may be fractional (a
    // touchpad scrolls in small ones).
    void zoomAt(double factor, QPointF view);
    void zoomBySteps(double steps, QPointF view);
    // Moves the picture along with a pointer that moved by delta (view fractions).
    void panBy(QPointF delta);
    void centreOn(QPointF picture);
    void reset();

    QPointF toPicture(QPointF view) const;
    // The part of a picture rectangle that is shown.
    QRectF shownPart(const QRectF& whole) const;

private:
    void keepInside();

    double m_factor = 1.0;
    QPointF m_topLeft;
};

} // namespace OrvantaClient::GUI::Player
