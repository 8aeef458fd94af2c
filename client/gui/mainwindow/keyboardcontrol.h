#pragma once

#include "gui/keys/keyboardshortcuts.h"

#include <QObject>
#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class KeyboardControlPrivate;
}

class MainWindow;

// The keyboard of a main window: binds every shortcut of the table to the
// window, keeps them out of its text fields, and carries each command out on
// what the window shows now. A command that does not apply there (no camera,
// the archive's steps while live, a cell that is not there) does nothing.
class KeyboardControl : public QObject
{
    Q_OBJECT
public:
    explicit KeyboardControl(MainWindow* window);
    ~KeyboardControl() override;

    // index: which of the command's keys, for the cell a digit maximises.
    void run(KeyboardShortcuts::Command command, int index = 0);

private:
    std::unique_ptr<Internal::KeyboardControlPrivate> d;
};

} // namespace OrvantaClient::GUI
