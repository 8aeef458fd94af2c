#include "cloudtooltip.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

CloudToolTip* CloudToolTip::s_current = nullptr;

CloudToolTip::CloudToolTip(const QString& text, QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);

    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet(QStringLiteral("color: rgb(54, 53, 53);"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    // The bottom margin leaves room for the bubble's pointer.
    setContentsMargins(10, 7, 10, 17);
}

CloudToolTip::~CloudToolTip()
{
    if (s_current == this)
        s_current = nullptr;
}

void CloudToolTip::showText(const QString& text, const QPoint& point, QWidget* parent)
{
    hideText();
    if (text.isEmpty())
        return;
    s_current = new CloudToolTip(text, parent);
    const QSize hint = s_current->sizeHint();
    s_current->resize(hint);
    s_current->move(point.x() - (hint.width() - 1) / 2 + 10, point.y() - hint.height() + 1);
    s_current->show();
}

void CloudToolTip::hideText()
{
    if (!s_current)
        return;
    CloudToolTip* shown = s_current;
    s_current = nullptr;
    shown->hide();
    delete shown;
}

bool CloudToolTip::isShown()
{
    return s_current != nullptr;
}

CloudToolTip* CloudToolTip::current()
{
    return s_current;
}

void CloudToolTip::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    const int m = (w - 1) / 2;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::white);
    QPainterPath pointer;
    pointer.moveTo(w - 1 - (m - 10), h - 11);
    pointer.lineTo(m, h - 1);
    pointer.lineTo(m - 9, h - 11);
    pointer.closeSubpath();
    painter.drawPath(pointer);
    painter.drawRoundedRect(QRect(3, 3, w - 4, h - 13), 5, 5);
}

} // namespace OrvantaClient::GUI
