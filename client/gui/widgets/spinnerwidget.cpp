#include "spinnerwidget.h"

#include <QConicalGradient>
#include <QPainter>
#include <QTimerEvent>

namespace OrvantaClient::GUI {

SpinnerWidget::SpinnerWidget(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QWidget::setVisible(false);
}

SpinnerWidget::~SpinnerWidget()
{
    stop();
}

void SpinnerWidget::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void SpinnerWidget::setFillColor(const QColor& color)
{
    m_fillColor = color;
    update();
}

void SpinnerWidget::setRingWidth(int width)
{
    m_ringWidth = width;
    update();
}

QSize SpinnerWidget::sizeHint() const
{
    return {17, 17};
}

void SpinnerWidget::start()
{
    if (m_spinning)
        return;
    m_spinning = true;
    m_angle = startAngle;
    update();
    m_timerId = startTimer(stepInterval);
    show();
}

void SpinnerWidget::stop()
{
    if (!m_spinning)
        return;
    m_spinning = false;
    killTimer(m_timerId);
    m_timerId = -1;
    hide();
}

void SpinnerWidget::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId)
        return QWidget::timerEvent(event);
    update();
    m_angle -= stepAngle;
}

void SpinnerWidget::paintEvent(QPaintEvent*)
{
    const int cx = width() / 2;
    const int cy = height() / 2;
    const int r = qMin(cx, cy) - m_ringWidth;
    // A ring too wide for the widget leaves nothing to draw; a negative
    // rectangle would paint a stray ellipse outside the widget.
    if (r <= 0)
        return;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_fillColor);
    painter.drawEllipse(QRect(cx - r, cy - r, 2 * r, 2 * r));

    if (r <= 3)
        return;
    QConicalGradient gradient(cx, cy, m_angle);
    gradient.setColorAt(0, m_color);
    gradient.setColorAt(1, Qt::transparent);
    painter.setPen(QPen(QBrush(gradient), m_ringWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRect(cx - r + 3, cy - r + 3, 2 * r - 6, 2 * r - 6));
}

} // namespace OrvantaClient::GUI
