#include "timelinetooltip.h"
#include "timelinepainter.h"

#include <QPainter>

namespace OrvantaClient::GUI {

TimelineTooltip::TimelineTooltip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    resize(sizeHint());
}

QString TimelineTooltip::text() const
{
    return m_time.isValid() ? m_time.toString(QStringLiteral("hh:mm:ss")) : QString();
}

QSize TimelineTooltip::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 12, fontMetrics().height() + 6};
}

void TimelineTooltip::setTime(QTime time)
{
    if (time == m_time)
        return;
    m_time = time;
    update();
}

void TimelineTooltip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), TimelinePainter::background);
    painter.setPen(TimelinePainter::accentColor);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace OrvantaClient::GUI
