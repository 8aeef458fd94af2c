#include "zoomoverview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace OrvantaClient::GUI::Player {

namespace {
constexpr int stripHeight = 22;
constexpr int margin = 6;
}

ZoomOverview::ZoomOverview(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("zoomOverview"));
    setCursor(Qt::PointingHandCursor);
    m_reset = new QPushButton(QStringLiteral("1:1"), this);
    m_reset->setObjectName(QStringLiteral("zoomResetButton"));
    m_reset->setToolTip(tr("Show the whole picture (Esc)"));
    m_reset->setCursor(Qt::ArrowCursor);
    m_reset->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: 1px solid "
                                          "rgba(255, 255, 255, 120); border-radius: 3px; padding: 0 4px; }"
                                          "QPushButton:hover { background: rgba(255, 255, 255, 60); }"));
    connect(m_reset, &QPushButton::clicked, this, &ZoomOverview::resetRequested);
}

void ZoomOverview::setView(const QImage& picture, const QRectF& source, const QRectF& region, double factor)
{
    m_picture = picture;
    m_source = source;
    m_region = region;
    m_factor = factor;
    update();
}

void ZoomOverview::resizeEvent(QResizeEvent*)
{
    m_reset->setGeometry(width() - 34, 2, 32, stripHeight - 4);
}

QRect ZoomOverview::placement(const QSize& cell, const QSizeF& picture, int topBar)
{
    if (cell.width() < 160 || picture.isEmpty())
        return QRect();
    const int width = qBound(64, cell.width() / 4, 200);
    const int height = qRound(width * picture.height() / picture.width());
    const int total = height + stripHeight;
    // In a small cell the overview would hide what the user zoomed into.
    if (topBar + margin + total > cell.height() * 3 / 5)
        return QRect();
    return QRect(cell.width() - width - margin, topBar + margin, width, total);
}

QRect ZoomOverview::thumbnailRect() const
{
    return QRect(0, stripHeight, width(), height() - stripHeight);
}

void ZoomOverview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), stripHeight), QColor(0, 0, 0, 170));
    painter.setPen(Qt::white);
    painter.drawText(QRect(6, 0, width() - 44, stripHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("%1x").arg(m_factor, 0, 'f', 1));
    const QRect thumb = thumbnailRect();
    if (m_picture.isNull() || m_source.isEmpty()) {
        painter.fillRect(thumb, QColor(25, 25, 29));
    } else {
        painter.drawImage(QRectF(thumb), m_picture, m_source);
    }
    const QRectF shown(thumb.x() + m_region.x() * thumb.width(), thumb.y() + m_region.y() * thumb.height(),
                       m_region.width() * thumb.width(), m_region.height() * thumb.height());
    // What the cell does not show is dimmed, what it shows is framed.
    for (const QRect& outside : QRegion(thumb) - QRegion(shown.toAlignedRect()))
        painter.fillRect(outside, QColor(0, 0, 0, 130));
    painter.setPen(QPen(QColor(62, 183, 253), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(shown.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(QColor(255, 255, 255, 120));
    painter.drawRect(QRectF(thumb).adjusted(0.5, 0.5, -0.5, -0.5));
}

void ZoomOverview::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        requestCentre(event->pos());
    event->accept(); // not a click on the cell: no PTZ, no drag
}

void ZoomOverview::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        requestCentre(event->pos());
    event->accept();
}

void ZoomOverview::requestCentre(const QPoint& pos)
{
    const QRect thumb = thumbnailRect();
    if (thumb.isEmpty() || pos.y() < thumb.top())
        return;
    emit centreRequested(QPointF(qBound(0.0, double(pos.x() - thumb.x()) / thumb.width(), 1.0),
                                 qBound(0.0, double(pos.y() - thumb.y()) / thumb.height(), 1.0)));
}

} // namespace OrvantaClient::GUI::Player
