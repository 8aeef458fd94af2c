#include "tourinteraction.h"

#include "tourrunner.h"

#include <QCursor>
#include <QMouseEvent>
#include <QWidget>

namespace OrvantaClient::GUI {

TourInteraction::TourInteraction(QWidget* window, TourRunner* runner)
    : QObject(window), m_window(window), m_runner(runner), m_cursor(QCursor::pos())
{
}

bool TourInteraction::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        break;
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPos();
        if (at == m_cursor)
            return false;
        m_cursor = at;
        break;
    }
    default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == m_window)
        m_runner->interact();
    return false;
}

} // namespace OrvantaClient::GUI
