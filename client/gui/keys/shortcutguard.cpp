#include "shortcutguard.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace OrvantaClient::GUI {

ShortcutGuard::ShortcutGuard(QWidget* window)
    : QObject(window)
{
    window->installEventFilter(this);
}

bool ShortcutGuard::isTextField(const QWidget* widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget)
        || qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget))
        return true;
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->isEditable();
    // A text area of a view (a QTextEdit's viewport), or any widget that takes
    // typed text through an input method.
    return widget->testAttribute(Qt::WA_InputMethodEnabled)
        || (widget->parentWidget() && (qobject_cast<const QTextEdit*>(widget->parentWidget())
                                       || qobject_cast<const QPlainTextEdit*>(widget->parentWidget())));
}

bool ShortcutGuard::keepsKey(const QWidget* focus, const QKeyEvent* key)
{
    if (!focus || !key)
        return false;
    if (isTextField(focus))
        return true;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return qobject_cast<const QAbstractButton*>(focus) != nullptr;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return qobject_cast<const QAbstractSlider*>(focus) != nullptr;
    default:
        return false;
    }
}

bool ShortcutGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride
        && keepsKey(QApplication::focusWidget(), static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace OrvantaClient::GUI
