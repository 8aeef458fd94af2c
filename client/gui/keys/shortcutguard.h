#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace OrvantaClient::GUI {

// Keeps a window's shortcuts from taking the keys of the widget that has the
// focus when that widget needs them: everything typed into a text field (the
// search field, a name, a number or a date), Space and Enter on a focused
// button, the arrows on a focused slider. Installed on a window, it answers the
// ShortcutOverride events that reach the window from its focus widget: an
// answered one goes to that widget as a plain key press instead.
class ShortcutGuard : public QObject
{
    Q_OBJECT
public:
    explicit ShortcutGuard(QWidget* window);

    // Whether the focus widget takes this key itself.
    static bool keepsKey(const QWidget* focus, const QKeyEvent* key);
    static bool isTextField(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace OrvantaClient::GUI
