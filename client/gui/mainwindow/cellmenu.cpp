#include "cellmenu.h"

#include "mainwindow.h"
#include "gui/grid/layoutwidget.h"
#include "gui/keys/keyboardshortcuts.h"
#include "gui/panels/qualitymenu.h"
#include "gui/player/videowidget.h"
#include "model/camera.h"
#include "model/layout.h"

#include <QAction>
#include <QMenu>
#include <QRadioButton>

namespace OrvantaClient::GUI {

CellMenu::CellMenu(Player::VideoWidget* player, LayoutWidget* grid, MainWindow* window)
    : QObject(player->menu())
    , m_player(player)
    , m_grid(grid)
    , m_window(window)
    , m_menu(player->menu())
    , m_before(m_menu->actions().value(0))
{
    m_snapshot = addEntry("snapshotAction", tr("Snapshot"));
    m_maximise = addEntry("maximiseAction", tr("Maximise"));
    m_recordings = addEntry("recordingsAction", tr("Recordings of this camera"));
    m_newWindow = addEntry("newWindowAction", tr("Open in new window"));
    m_quality = new QualityMenu(m_menu);
    m_quality->setTitle(tr("Quality"));
    m_menu->insertMenu(m_before, m_quality);
    m_menu->insertSeparator(m_before);

    connect(m_snapshot, &QAction::triggered, player, &Player::VideoWidget::takeSnapshot);
    connect(m_maximise, &QAction::triggered, this, [this] {
        if (m_grid)
            m_grid->toggleMaximized(number());
    });
    connect(m_recordings, &QAction::triggered, this, &CellMenu::showRecordings);
    connect(m_newWindow, &QAction::triggered, this, [this] {
        if (m_window && m_player->camera())
            emit m_window->openInNewWindow(m_player->camera());
    });
    for (const QualityMenu::Entry entry : {QualityMenu::Low, QualityMenu::Middle, QualityMenu::High, QualityMenu::Auto}) {
        const int quality = entry == QualityMenu::Auto ? LayoutWidget::autoQuality : int(entry);
        connect(m_quality->entryAction(entry), &QAction::triggered, this, [this, quality] {
            if (m_grid)
                m_grid->setCellQuality(m_player, quality);
        });
    }
    connect(m_menu, &QMenu::aboutToShow, this, &CellMenu::update);
    update();
}

QAction* CellMenu::addEntry(const char* name, const QString& text)
{
    auto* action = new QAction(text, m_menu);
    action->setObjectName(QLatin1String(name));
    m_menu->insertAction(m_before, action);
    return action;
}

int CellMenu::number() const
{
    return m_grid ? m_grid->playersInOrder().indexOf(m_player) + 1 : 0;
}

void CellMenu::update()
{
    const API::CameraPtr camera = m_player->camera();
    m_snapshot->setEnabled(m_player->hasFrame());
    // The digit keys maximise the first cells: the entry names the cell's own.
    const int cell = number();
    const bool maximised = m_grid && m_grid->maximizedPlayer() == m_player;
    const API::LayoutPtr layout = m_grid ? m_grid->layout() : nullptr;
    const bool single = !layout || (layout->rows() == 1 && layout->columns() == 1);
    const bool can = cell >= 1 && !single;
    QString text = maximised ? tr("Return to the grid") : tr("Maximise");
    if (can && cell <= KeyboardShortcuts::cellKeys)
        text += QLatin1Char('\t') + QString::number(cell);
    m_maximise->setText(text);
    m_maximise->setEnabled(can);
    m_recordings->setEnabled(camera && camera->hasArchiveRight() && m_window);
    m_newWindow->setEnabled(camera && camera->exists() && m_window);
    const int quality = m_grid ? m_grid->cellQuality(m_player) : LayoutWidget::autoQuality;
    const QualityMenu::Entry checked = quality == LayoutWidget::autoQuality ? QualityMenu::Auto : QualityMenu::Entry(quality);
    m_quality->entryButton(checked)->setChecked(true);
    m_quality->setEnabled(bool(m_grid));
}

// As the grid's recordings button, for this camera: it becomes the active one,
// so the timeline and the calendar are its own.
void CellMenu::showRecordings()
{
    const API::CameraPtr camera = m_player->camera();
    if (!m_window || !camera)
        return;
    m_window->setActiveCamera(camera);
    emit m_window->cameraActivated(camera); // the other windows follow it too
    m_window->showArchivePanels();
}

} // namespace OrvantaClient::GUI
