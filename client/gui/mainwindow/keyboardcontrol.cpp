#include "keyboardcontrol.h"

#include "mainwindow.h"

#include "gui/grid/layoutwidget.h"
#include "gui/keys/shortcutguard.h"
#include "gui/keys/shortcutsdialog.h"
#include "gui/panels/archivecontrolpanel.h"
#include "gui/panels/controlpanel.h"
#include "gui/player/videowidget.h"
#include "gui/timeline/timeline.h"
#include "model/layout.h"
#include "stores/layouts.h"

#include <QAction>
#include <QPointer>
#include <algorithm>

namespace OrvantaClient::GUI {

namespace Internal {

class KeyboardControlPrivate
{
public:
    MainWindow* window = nullptr;
    QPointer<ShortcutsDialog> help;

    bool hasCameras() const
    {
        const API::LayoutPtr layout = window->currentLayout();
        return layout && !layout->isEmpty();
    }
    void step(int seconds);
    void openNeighbourLayout(int direction);
    void showHelp();
};

void KeyboardControlPrivate::step(int seconds)
{
    if (!window->isArchivePlaying())
        return;
    const QDateTime position = window->timeline()->position();
    const QDateTime target = position.isValid() ? position.addSecs(seconds) : QDateTime();
    // Past the present there is nothing recorded yet.
    if (!target.isValid() || target > QDateTime::currentDateTime())
        return;
    window->playArchive(target);
}

void KeyboardControlPrivate::openNeighbourLayout(int direction)
{
    // An edit in progress would have to be saved or dropped first: the key does
    // not ask that question.
    if (window->isEditing())
        return;
    QList<API::LayoutPtr> stored;
    for (const API::LayoutPtr& layout : App::Layouts::instance()->items()) {
        if (layout->exists())
            stored << layout;
    }
    if (stored.isEmpty())
        return;
    // In the order of the Layouts page.
    std::stable_sort(stored.begin(), stored.end(), [](const API::LayoutPtr& a, const API::LayoutPtr& b) {
        const int byName = a->name().compare(b->name(), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a->id() < b->id();
    });
    const API::LayoutPtr current = window->currentLayout();
    int index = -1;
    for (int i = 0; current && i < stored.size(); ++i) {
        if (stored.at(i)->id() == current->id())
            index = i;
    }
    const int count = int(stored.size());
    const int next = index < 0 ? (direction > 0 ? 0 : count - 1) : (index + direction + count) % count;
    if (next != index)
        window->openLayout(stored.at(next));
}

void KeyboardControlPrivate::showHelp()
{
    if (!help) {
        help = new ShortcutsDialog(window);
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace Internal

KeyboardControl::KeyboardControl(MainWindow* window)
    : QObject(window)
    , d(std::make_unique<Internal::KeyboardControlPrivate>())
{
    d->window = window;
    new ShortcutGuard(window);
    for (const KeyboardShortcuts::Shortcut& shortcut : KeyboardShortcuts::table()) {
        // A held key repeats only what makes sense to repeat.
        const bool repeats = shortcut.command == KeyboardShortcuts::StepBack
            || shortcut.command == KeyboardShortcuts::StepForward || shortcut.command == KeyboardShortcuts::LongStepBack
            || shortcut.command == KeyboardShortcuts::LongStepForward || shortcut.command == KeyboardShortcuts::ZoomIn
            || shortcut.command == KeyboardShortcuts::ZoomOut;
        for (int index = 0; index < shortcut.keys.size(); ++index) {
            auto* action = new QAction(shortcut.description, window);
            action->setShortcut(shortcut.keys.at(index));
            action->setShortcutContext(Qt::WindowShortcut);
            action->setAutoRepeat(repeats);
            const KeyboardShortcuts::Command command = shortcut.command;
            connect(action, &QAction::triggered, this, [this, command, index] { run(command, index); });
            window->addAction(action);
        }
    }
}

KeyboardControl::~KeyboardControl() = default;

void KeyboardControl::run(KeyboardShortcuts::Command command, int index)
{
    MainWindow* window = d->window;
    LayoutWidget* grid = window->layoutWidget();
    Player::VideoWidget* active = grid->activePlayer();
    const bool recordsShown = !window->archiveControlPanel()->isHidden();
    switch (command) {
    case KeyboardShortcuts::Help:
        d->showHelp();
        break;
    case KeyboardShortcuts::FullScreen:
        if (window->isFullScreen() || d->hasCameras())
            window->onFullscreen();
        break;
    case KeyboardShortcuts::Back:
        if (active && active->isZoomed())
            active->resetZoom();
        else if (grid->isMaximized())
            grid->showGrid();
        else if (window->isFullScreen())
            window->onFullscreen();
        break;
    case KeyboardShortcuts::PlayPause:
        if (!d->hasCameras())
            break;
        if (grid->isPaused())
            window->unpause();
        else
            window->pause();
        break;
    case KeyboardShortcuts::Live:
        if (d->hasCameras() && (window->isArchivePlaying() || recordsShown))
            window->playLive();
        break;
    case KeyboardShortcuts::Recordings:
        if (!d->hasCameras())
            break;
        if (recordsShown)
            window->hideArchivePanels();
        else
            window->showArchivePanels();
        break;
    case KeyboardShortcuts::StepBack:
        d->step(-10);
        break;
    case KeyboardShortcuts::StepForward:
        d->step(10);
        break;
    case KeyboardShortcuts::LongStepBack:
        d->step(-60);
        break;
    case KeyboardShortcuts::LongStepForward:
        d->step(60);
        break;
    case KeyboardShortcuts::Faster:
    case KeyboardShortcuts::Slower:
        if (window->isArchivePlaying())
            window->controlPanel()->stepSpeed(command == KeyboardShortcuts::Faster ? 1 : -1);
        break;
    case KeyboardShortcuts::Snapshot:
        if (active)
            active->takeSnapshot();
        break;
    case KeyboardShortcuts::ExportMode:
        if (window->isExportMode())
            window->setControlMode();
        else if (d->hasCameras())
            window->setExportMode();
        break;
    case KeyboardShortcuts::MaximiseCell:
        grid->toggleMaximized(index + 1);
        break;
    case KeyboardShortcuts::NextLayout:
        d->openNeighbourLayout(1);
        break;
    case KeyboardShortcuts::PreviousLayout:
        d->openNeighbourLayout(-1);
        break;
    case KeyboardShortcuts::ZoomIn:
        if (active)
            active->zoomIn();
        break;
    case KeyboardShortcuts::ZoomOut:
        if (active)
            active->zoomOut();
        break;
    case KeyboardShortcuts::ResetZoom:
        if (active)
            active->resetZoom();
        break;
    case KeyboardShortcuts::Tour:
        window->toggleTour();
        break;
    case KeyboardShortcuts::StreamHealth:
        window->setStreamHealthShown(!window->isStreamHealthShown());
        break;
    }
}

} // namespace OrvantaClient::GUI
