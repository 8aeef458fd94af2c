#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;

namespace OrvantaClient::GUI {

namespace Player {
class VideoWidget;
}

class LayoutWidget;
class MainWindow;
class QualityMenu;

// What a cell's menu offers in a main window, ahead of the cell's own settings
// and close: a snapshot, the cell maximised (or back in the grid), the camera's
// recordings, the camera in a window of its own, and the cell's stream quality.
// Each goes the way the window's own controls go; it lives as long as the menu.
class CellMenu : public QObject
{
    Q_OBJECT
public:
    CellMenu(Player::VideoWidget* player, LayoutWidget* grid, MainWindow* window);

private:
    QAction* addEntry(const char* name, const QString& text);
    // The entries say what they would do now: the grid and the cell change.
    void update();
    int number() const;
    void showRecordings();

    Player::VideoWidget* m_player;
    QPointer<LayoutWidget> m_grid;
    QPointer<MainWindow> m_window;
    QMenu* m_menu;
    QAction* m_before;
    QAction* m_snapshot;
    QAction* m_maximise;
    QAction* m_recordings;
    QAction* m_newWindow;
    QualityMenu* m_quality;
};

} // namespace OrvantaClient::GUI
