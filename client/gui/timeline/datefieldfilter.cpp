#include "datefieldfilter.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMouseEvent>

namespace OrvantaClient::GUI {

DateFieldFilter::DateFieldFilter(QObject* parent) : QObject(parent) {}

DateFieldFilter* DateFieldFilter::install(QDateTimeEdit* field)
{
    auto* text = field->findChild<QLineEdit*>(QStringLiteral("qt_spinbox_lineedit"));
    if (!text)
        return nullptr;
    auto* filter = new DateFieldFilter(field);
    text->installEventFilter(filter);
    return filter;
}

bool DateFieldFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* field = qobject_cast<QWidget*>(watched->parent());
        if (!field)
            return true;
        // The calendar button sits at the field's bottom-right corner.
        const QPoint corner = field->rect().bottomRight() - QPoint(3, 3);
        QApplication::postEvent(field, new QMouseEvent(QEvent::MouseButtonPress, corner, field->mapToGlobal(corner),
                                                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        return true;
    }
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace OrvantaClient::GUI
