#pragma once

#include <QList>
#include <QRect>

namespace OrvantaClient::App {

// Where a new main window goes, kept free of widgets so that multi-screen
// desktops can be reasoned about (and tested) on any machine.
class WindowPlacement
{
public:
    // window: the new window's own geometry. source: the geometry of the window
    // that asked for it (clone, open in new window), or a null rect. screens:
    // the geometries of the desktop's screens in their order. occupied: for each
    // screen, whether a main window is already on it.
    static QRect place(const QRect& window, const QRect& source, const QList<QRect>& screens,
                       const QList<bool>& occupied);
};

} // namespace OrvantaClient::App
