#include "digitalzoom.h"

#include <QtMath>

namespace OrvantaClient::GUI::Player {

QRectF DigitalZoom::region() const
{
    const double side = 1.0 / m_factor;
    return QRectF(m_topLeft, QSizeF(side, side));
}

void DigitalZoom::zoomAt(double factor, QPointF view)
{
    if (!qIsFinite(factor))
        return;
    view = QPointF(qBound(0.0, view.x(), 1.0), qBound(0.0, view.y(), 1.0));
    const QPointF anchor = toPicture(view);
    // A factor a rounding away from 1 would keep a cell "zoomed" that shows it all.
    m_factor = factor < 1.0 + 1e-3 ? 1.0 : qMin(factor, maximumFactor);
    m_topLeft = anchor - view / m_factor;
    keepInside();
}

void DigitalZoom::zoomBySteps(double steps, QPointF view)
{
    zoomAt(m_factor * qPow(stepFactor, steps), view);
}

void DigitalZoom::panBy(QPointF delta)
{
    m_topLeft -= delta / m_factor;
    keepInside();
}

void DigitalZoom::centreOn(QPointF picture)
{
    m_topLeft = picture - QPointF(0.5, 0.5) / m_factor;
    keepInside();
}

void DigitalZoom::reset()
{
    m_factor = 1.0;
    m_topLeft = QPointF();
}

QPointF DigitalZoom::toPicture(QPointF view) const
{
    return m_topLeft + view / m_factor;
}

QRectF DigitalZoom::shownPart(const QRectF& whole) const
{
    const QRectF part = region();
    return QRectF(whole.x() + part.x() * whole.width(), whole.y() + part.y() * whole.height(),
                  part.width() * whole.width(), part.height() * whole.height());
}

void DigitalZoom::keepInside()
{
    // The region never leaves the picture: no empty margin appears at an edge.
    const double limit = 1.0 - 1.0 / m_factor;
    m_topLeft = QPointF(qBound(0.0, m_topLeft.x(), limit), qBound(0.0, m_topLeft.y(), limit));
}

} // namespace OrvantaClient::GUI::Player
