#pragma once

#include <QDialog>

namespace OrvantaClient::GUI {

// The help on the keyboard: every shortcut of the table, its keys and what it
// does, one row each.
class ShortcutsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ShortcutsDialog(QWidget* parent = nullptr);
};

} // namespace OrvantaClient::GUI
