#include "mainwindow.h"

#include "cellmenu.h"
#include "connectionbanner.h"
#include "keyboardcontrol.h"
#include "tourindicator.h"
#include "tourinteraction.h"
#include "tourrunner.h"

#include "core/constants.h"
#include "core/settings.h"
#include "core/usernotices.h"
#include "export/exporter.h"
#include "gui/grid/layoutwidget.h"
#include "gui/panels/archivecontrolpanel.h"
#include "gui/panels/controlpanel.h"
#include "gui/panels/infopanel.h"
#include "gui/player/videowidget.h"
#include "gui/sidebar/sidebar.h"
#include "gui/sidebar/sidebarlayouts.h"
#include "gui/sidebar/sidebarroster.h"
#include "gui/sidebar/sidebarsettings.h"
#include "gui/sidebar/sidebartours.h"
#include "gui/sidebar/toolbar.h"
#include "gui/timeline/calendarpopup.h"
#include "gui/timeline/timeline.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/server.h"
#include "model/tour.h"
#include "stores/layouts.h"
#include "stores/roster.h"
#include "stores/tours.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDebug>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStackedLayout>
#include <QTimer>

namespace OrvantaClient::GUI {

namespace Internal {

class MainWindowPrivate
{
public:
    ToolBar* toolBar = nullptr;
    SideBar* sideBar = nullptr;
    InfoPanel* infoPanel = nullptr;
    LayoutWidget* layoutWidget = nullptr;
    ControlPanel* controlPanel = nullptr;
    ArchiveControlPanel* archivePanel = nullptr;
    CalendarPopup* calendar = nullptr;
    Timeline* timeline = nullptr;
    App::Exporter* exporter = nullptr;

    API::LayoutPtr layout;
    API::CameraPtr activeCamera;
    // The grids lie on top of each other; while a tour runs, the one behind
    // makes the next layout ready.
    QStackedLayout* stack = nullptr;
    LayoutWidget* spare = nullptr;
    TourIndicator* tourIndicator = nullptr;
    TourRunner* tourRunner = nullptr;
    QObject* interactionFilter = nullptr;
    API::Tour tour;
    API::LayoutPtr preloaded;
    QHash<QString, API::CameraPtr> stepCameras;
    QHash<QString, API::LayoutPtr> stepLayouts;
    int tourPreloadMs = TourRunner::defaultPreloadMs;
    int tourQuietMs = TourRunner::defaultQuietMs;
    bool editing = false;
    bool archivePlaying = false;
    bool exportMode = false;
    bool sideBarWasVisible = true;
    bool wasMaximized = false;
    int tickTimer = 0;

    // Every part that shows the current layout gets it here.
    void showLayout(const API::LayoutPtr& shown)
    {
        layoutWidget->setLayout(shown);
        showAroundGrid(shown);
    }

    // The parts beside the grid.
    void showAroundGrid(const API::LayoutPtr& shown)
    {
        infoPanel->setLayout(shown);
        timeline->setLayout(shown);
        calendar->setLayout(shown);
        sideBar->setCurrentLayout(shown);
    }
};

// Problems found where no window was at hand (start-up, the stores) are shown
// here, each by one window only: the first that takes it.
void showUserNotices(LayoutWidget* grid)
{
    for (const QString& text : App::UserNotices::instance().takeAll())
        grid->showProblem(text);
}

// The questions of this window share one look: no help button, the house font size.
void styleQuestion(QMessageBox& box)
{
    box.setStyleSheet(QStringLiteral("font-size: 14px;"));
    box.setWindowFlags(box.windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

} // namespace Internal

using Internal::styleQuestion;

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Internal::MainWindowPrivate>())
{
    API::registerMetaTypes();
    setWindowTitle(QString::fromLatin1(App::Constants::applicationName));
    setObjectName(QStringLiteral("MainWindow"));
    resize(1280, 800);
    setMinimumSize(800, 500);

    d->toolBar = new ToolBar(this);
    d->sideBar = new SideBar(this);
    d->infoPanel = new InfoPanel(this);
    d->layoutWidget = new LayoutWidget(this);
    d->controlPanel = new ControlPanel(this);
    d->archivePanel = new ArchiveControlPanel(this);
    d->calendar = new CalendarPopup(d->archivePanel);
    d->archivePanel->setCalendarWidget(d->calendar);
    d->timeline = new Timeline(this);
    d->exporter = new App::Exporter(this);

    auto* centre = new QVBoxLayout;
    centre->setContentsMargins(0, 0, 0, 0);
    centre->setSpacing(0);
    centre->addWidget(new ConnectionBanner(this));
    centre->addWidget(d->infoPanel);
    d->tourIndicator = new TourIndicator(this);
    d->tourIndicator->hide();
    centre->addWidget(d->tourIndicator);
    auto* stage = new QWidget(this);
    d->stack = new QStackedLayout(stage);
    d->stack->setContentsMargins(0, 0, 0, 0);
    d->stack->setStackingMode(QStackedLayout::StackAll);
    d->stack->addWidget(d->layoutWidget);
    centre->addWidget(stage, 1);
    centre->addWidget(d->controlPanel);
    centre->addWidget(d->archivePanel);
    centre->addWidget(d->timeline);
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(d->toolBar);
    box->addWidget(d->sideBar);
    box->addLayout(centre, 1);

    SideBarRoster* roster = d->sideBar->roster();
    SideBarLayouts* layouts = d->sideBar->layouts();
    SideBarSettings* settings = d->sideBar->settings();
    connect(roster, &SideBarRoster::openCamera, this, &MainWindow::openCamera);
    connect(roster, &SideBarRoster::addToLayout, this, qOverload<API::CameraPtr>(&MainWindow::addToLayoutFromRoster));
    connect(roster, &SideBarRoster::openInNewWindow, this, qOverload<API::CameraPtr>(&MainWindow::openInNewWindow));
    connect(roster, &SideBarRoster::editLocalServer, settings, &SideBarSettings::editServer);
    connect(layouts, &SideBarLayouts::openLayout, this, &MainWindow::openLayout);
    connect(layouts, &SideBarLayouts::openInNewWindow, this, qOverload<API::LayoutPtr>(&MainWindow::openInNewWindow));
    connect(settings, &SideBarSettings::updatesFound, this, &MainWindow::onUpdatesFound);
    connect(settings, &SideBarSettings::signoutClicked, this, &MainWindow::onSignoutClicked);
    // Leaving local mode loses nothing: the sign-in window comes at once.
    connect(settings, &SideBarSettings::cloudSignInClicked, this, &MainWindow::signout);
    connect(App::Layouts::instance(), &App::Layouts::layoutDeleted, this, &MainWindow::closeDeletedLayout);
    connect(d->sideBar, &SideBar::addNewLayout, this, &MainWindow::openNewLayout);
    connect(d->sideBar, &SideBar::hideRequest, this, &MainWindow::hideRosterAndToolbar);
    connect(d->toolBar, &ToolBar::liveClicked, this, &MainWindow::setRosterMode);
    connect(d->toolBar, &ToolBar::layoutsClicked, this, &MainWindow::setLayoutsMode);
    connect(d->toolBar, &ToolBar::settingsClicked, this, &MainWindow::setSettingsMode);

    ControlPanel* panel = d->controlPanel;
    connect(panel, &ControlPanel::showRecordsButtonClicked, this, &MainWindow::showArchivePanels);
    connect(panel, &ControlPanel::hideRecordsButtonClicked, this, &MainWindow::hideArchivePanels);
    connect(panel, &ControlPanel::liveButtonClicked, this, &MainWindow::playLive);
    connect(panel, &ControlPanel::exportModeButtonClicked, this, &MainWindow::setExportMode);
    connect(panel, &ControlPanel::cancelExportButtonClicked, this, &MainWindow::cancelExport);
    connect(panel, &ControlPanel::exportButtonClicked, this, &MainWindow::exportArchive);
    connect(panel, &ControlPanel::fullscreenButtonClicked, this, &MainWindow::onFullscreen);
    connect(panel, &ControlPanel::pause, this, &MainWindow::pause);
    connect(panel, &ControlPanel::play, this, &MainWindow::unpause);
    connect(panel, &ControlPanel::setLowQuality, this, &MainWindow::setLowQuality);
    connect(panel, &ControlPanel::setMidQuality, this, &MainWindow::setMidQuality);
    connect(panel, &ControlPanel::setHighQuality, this, &MainWindow::setHighQuality);
    connect(panel, &ControlPanel::setAutoQuality, this, &MainWindow::setAutoQuality);
    connect(panel, &ControlPanel::soundVolumeChanged, this, &MainWindow::volumeChanged);
    connect(panel, &ControlPanel::soundEnabled, this, &MainWindow::soundEnabled);
    connect(panel, &ControlPanel::speedChanged, this, &MainWindow::setSpeed);
    connect(panel, &ControlPanel::streamHealthToggled, this, &MainWindow::setStreamHealthShown);

    connect(d->infoPanel, &InfoPanel::showRequest, this, &MainWindow::showRosterAndToolbar);
    connect(d->infoPanel, &InfoPanel::cloneWindowClicked, this, &MainWindow::clone);
    connect(d->infoPanel, &InfoPanel::closeLayout, this, &MainWindow::closeLayout);
    connect(d->infoPanel, &InfoPanel::editLayout, this, &MainWindow::editLayout);
    connect(d->infoPanel, &InfoPanel::cancelEditing, this, &MainWindow::cancelEditLayoutRequest);
    connect(d->infoPanel, &InfoPanel::saveEditing, this, &MainWindow::saveEditLayout);

    connectGrid(d->layoutWidget);

    d->tourRunner = new TourRunner(this);
    d->tourRunner->setAvailability([this](const QString& step) { return tourLayout(step) != nullptr; });
    connect(d->tourRunner, &TourRunner::preload, this, &MainWindow::preloadTourStep);
    connect(d->tourRunner, &TourRunner::show, this, &MainWindow::showTourStep);
    connect(d->tourRunner, &TourRunner::pausedChanged, this, [this](bool paused) {
        // Nothing plays unseen for the whole quiet period.
        if (paused)
            dropPreloaded();
        updateTourIndicator();
    });
    connect(d->tourRunner, &TourRunner::stopped, this, &MainWindow::stopTour);
    connect(d->tourIndicator, &TourIndicator::stopClicked, this, &MainWindow::stopTour);
    connect(d->sideBar->tours(), &SideBarTours::startTour, this, &MainWindow::startTour);
    connect(d->sideBar->tours(), &SideBarTours::stopTour, this, &MainWindow::stopTour);

    connect(d->exporter, &App::Exporter::exportDone, this, &MainWindow::onExportDone);
    connect(d->exporter, &App::Exporter::exportError, this, &MainWindow::onExportError);
    connect(d->exporter, &App::Exporter::exportStarted, this, &MainWindow::onExportStarted);
    connect(d->exporter, &App::Exporter::exportPercentDone, this, &MainWindow::onExportPercentDone);

    connect(d->archivePanel, &ArchiveControlPanel::dateChanged, this, &MainWindow::updateDate);
    connect(d->archivePanel, &ArchiveControlPanel::zoomedIn, d->timeline, &Timeline::zoomIn);
    connect(d->archivePanel, &ArchiveControlPanel::zoomedOut, d->timeline, &Timeline::zoomOut);
    connect(d->archivePanel, &ArchiveControlPanel::zoomed, d->timeline, &Timeline::zoom);
    connect(d->timeline, &Timeline::zoomed, d->archivePanel, &ArchiveControlPanel::zoom);
    connect(d->timeline, &Timeline::clicked, this, &MainWindow::playArchive);
    connect(d->timeline, &Timeline::selectionChanged, d->archivePanel, &ArchiveControlPanel::setFragment);
    connect(d->archivePanel, &ArchiveControlPanel::fragmentEdited, d->timeline, &Timeline::setSelection);
    // The hover bubble rises over the panel: it keeps off the panel's buttons.
    d->timeline->setTooltipObstacles(d->archivePanel->controls());

    closeLayout();
    hideArchivePanels();
    if (App::Settings::instance().value(QStringLiteral("mainWindow/openTab")).toString() == QLatin1String("Layouts"))
        setLayoutsMode();
    d->tickTimer = startTimer(1000, Qt::CoarseTimer);
    new KeyboardControl(this);

    // A window on its way out (hidden at sign-out) leaves them to the next one.
    const auto showNotices = [this] {
        if (isVisible() && d->layoutWidget)
            Internal::showUserNotices(d->layoutWidget);
    };
    connect(&App::UserNotices::instance(), &App::UserNotices::posted, this, showNotices);
    // Those from before this window, once it is on screen.
    QTimer::singleShot(0, this, showNotices);
}

MainWindow::~MainWindow()
{
    // The grid's players go first: they still refer to the layout held here.
    delete d->layoutWidget;
    d->layoutWidget = nullptr;
    delete d->spare;
    d->spare = nullptr;
}

API::LayoutPtr MainWindow::currentLayout() const { return d->layout; }
API::CameraPtr MainWindow::activeCamera() const { return d->activeCamera; }
bool MainWindow::isEditing() const { return d->editing; }
bool MainWindow::isArchivePlaying() const { return d->archivePlaying; }
bool MainWindow::isExportMode() const { return d->exportMode; }
bool MainWindow::isStreamHealthShown() const { return d->layoutWidget->isStreamHealthShown(); }
SideBar* MainWindow::sideBar() const { return d->sideBar; }
ToolBar* MainWindow::toolBar() const { return d->toolBar; }
InfoPanel* MainWindow::infoPanel() const { return d->infoPanel; }
LayoutWidget* MainWindow::layoutWidget() const { return d->layoutWidget; }
ControlPanel* MainWindow::controlPanel() const { return d->controlPanel; }
ArchiveControlPanel* MainWindow::archiveControlPanel() const { return d->archivePanel; }
Timeline* MainWindow::timeline() const { return d->timeline; }
bool MainWindow::isTourRunning() const { return d->tourRunner->isRunning(); }
QString MainWindow::runningTourId() const { return isTourRunning() ? d->tour.id : QString(); }
TourRunner* MainWindow::tourRunner() const { return d->tourRunner; }
TourIndicator* MainWindow::tourIndicator() const { return d->tourIndicator; }

void MainWindow::setTourTimings(int preloadMs, int quietMs)
{
    d->tourPreloadMs = preloadMs;
    d->tourQuietMs = quietMs;
}

void MainWindow::connectGrid(LayoutWidget* grid)
{
    connect(grid, &LayoutWidget::playbackTimeChanged, this, &MainWindow::updateTimeline);
    connect(grid, &LayoutWidget::clicked, this, &MainWindow::cameraActivated);
    connect(grid, &LayoutWidget::layoutDropped, this, &MainWindow::openLayout);
    connect(grid, &LayoutWidget::cameraClosed, this, &MainWindow::closeCamera);
    connect(grid, &LayoutWidget::cameraDroppedFromLayout, this, &MainWindow::exchangeCells);
    connect(grid, &LayoutWidget::cameraDroppedFromRoster, this,
            qOverload<API::CameraPtr, API::LayoutCellPoint>(&MainWindow::addToLayoutFromRoster));
    connect(grid, &LayoutWidget::resizeRequested, this, &MainWindow::resizeLayout);
    connect(grid, &LayoutWidget::playerCreated, this,
            [this, grid](Player::VideoWidget* player) { new CellMenu(player, grid, this); });
}

// --- side bar and panels ---

void MainWindow::hideRosterAndToolbar()
{
    d->sideBar->hide();
    d->toolBar->hide();
    d->infoPanel->setShowButtonVisible(true);
}

void MainWindow::showRosterAndToolbar()
{
    d->sideBar->show();
    d->toolBar->show();
    d->infoPanel->setShowButtonVisible(false);
}

void MainWindow::hideArchivePanels()
{
    if (d->exportMode)
        setControlMode();
    d->archivePanel->hide();
    d->timeline->hide();
    d->controlPanel->hideRecordsControls();
    // Without the timeline there is no way to steer the archive: back to live.
    if (d->archivePlaying) {
        d->archivePlaying = false;
        d->layoutWidget->playLive();
        d->controlPanel->showLiveLabel();
        d->controlPanel->showPauseButton();
    }
}

void MainWindow::showArchivePanels()
{
    // Live, the timeline follows the clock only while it is shown.
    if (!d->archivePlaying)
        d->timeline->setPosition(QDateTime::currentDateTime());
    d->archivePanel->show();
    d->timeline->show();
    d->controlPanel->showRecordsControls();
    updateExportButton();
}

void MainWindow::setRosterMode()
{
    d->sideBar->setRosterMode();
    d->toolBar->setRosterMode();
    App::Settings::instance().setValue(QStringLiteral("mainWindow/openTab"), QStringLiteral("Cameras"));
}

void MainWindow::setLayoutsMode()
{
    d->sideBar->setLayoutsMode();
    d->toolBar->setLayoutsMode();
    App::Settings::instance().setValue(QStringLiteral("mainWindow/openTab"), QStringLiteral("Layouts"));
}

void MainWindow::setSettingsMode()
{
    d->sideBar->setSettingsMode();
    d->toolBar->setSettingsMode();
}

// --- export ---

void MainWindow::setExportMode()
{
    // A fragment is chosen on the timeline, so it must be on screen.
    if (!d->timeline->isVisible())
        showArchivePanels();
    d->exportMode = true;
    d->timeline->startSelection();
    d->archivePanel->showSelectFragmentMessage();
    d->controlPanel->setExportMode();
    updateExportButton();
    if (d->exporter->isRunning()) {
        d->archivePanel->showExportingMessage();
        d->controlPanel->showExportPercent();
    }
}

void MainWindow::setControlMode()
{
    d->exportMode = false;
    d->timeline->endSelection();
    d->archivePanel->hideMessage();
    d->controlPanel->setNormalMode();
}

void MainWindow::exportArchive()
{
    qDebug() << "Export archive";
    if (d->activeCamera
        && d->exporter->startExport(d->activeCamera, d->timeline->selectionStart(), d->timeline->selectionEnd())) {
        d->archivePanel->showExportingMessage();
        d->controlPanel->exportStarted();
        return;
    }
    qDebug() << "Export archive error";
    d->archivePanel->showSelectFragmentMessage();
    d->layoutWidget->showExportError();
}

void MainWindow::cancelExport()
{
    d->exporter->stopExport();
    setControlMode();
}

void MainWindow::updateExportButton()
{
    const QString reason = exportUnavailableReason();
    d->controlPanel->enableExport(reason.isEmpty(), reason);
    // Entering the export mode with nothing to export says why, instead of
    // asking for a fragment that cannot be saved.
    if (d->exportMode && !d->exporter->isRunning()) {
        if (reason.isEmpty())
            d->archivePanel->showSelectFragmentMessage();
        else
            d->archivePanel->showExportUnavailableMessage(reason);
    }
}

QString MainWindow::exportUnavailableReason() const
{
    const API::CameraPtr& camera = d->activeCamera;
    if (!camera)
        return tr("Select a camera to export its recordings");
    if (!camera->isLocal())
        return tr("Only recordings of cameras on local video servers can be exported");
    if (!camera->hasRecords(d->timeline->date()))
        return tr("No recordings of this camera on this day");
    return {};
}

void MainWindow::onExportDone(QString path)
{
    setControlMode();
    d->layoutWidget->showExportDone(path);
}

void MainWindow::onExportError()
{
    setControlMode();
    d->layoutWidget->showExportError();
}

void MainWindow::onExportStarted()
{
    d->controlPanel->exportStarted();
}

void MainWindow::onExportPercentDone(int percent)
{
    d->controlPanel->exportPercentDone(percent);
}

// --- layouts ---

void MainWindow::closeCamera(API::LayoutCellPoint point)
{
    if (!d->layout)
        return;
    const bool single = d->layout->rows() == 1 && d->layout->columns() == 1;
    const API::LayoutPtr stored = App::Layouts::instance()->item(d->layout->id());
    if (single && !(stored && stored->exists())) {
        closeLayout();
        return;
    }
    editLayout();
    d->layout->removeCamera(point);
}

void MainWindow::openCamera(API::CameraPtr camera)
{
    if (!camera)
        return;
    qDebug() << "Open single camera" << camera->name();
    auto layout = std::make_shared<API::Layout>();
    layout->setName(camera->name());
    layout->addCamera(camera);
    openLayout(layout);
}

void MainWindow::addToLayoutFromRoster(API::CameraPtr camera)
{
    if (!camera)
        return;
    editLayout();
    if (d->layout->freeCellsCount() > 0)
        d->layout->addCamera(camera);
}

void MainWindow::addToLayoutFromRoster(API::CameraPtr camera, API::LayoutCellPoint point)
{
    if (!camera)
        return;
    editLayout();
    d->layout->addCamera(camera, point.row, point.column, 1, 1);
    if (d->layout->rows() == 1 && d->layout->columns() == 1)
        emit cameraActivated(camera);
}

void MainWindow::updateAddToLayoutEnabled()
{
    d->sideBar->roster()->setAddToLayoutEnabled(d->layout && d->layout->freeCellsCount() > 0);
    handleFullscreenButton();
    if (d->layout && d->layout->isEmpty()) {
        d->controlPanel->setEmptyMode();
        leaveEmptyFullscreen();
    } else if (!d->exportMode) {
        d->controlPanel->setNormalMode();
    }
}

void MainWindow::leaveEmptyFullscreen()
{
    // An empty grid has no controls, the full-screen button neither: in full
    // screen only Escape would lead out. A layout refreshed from the service
    // empties and refills its cells in one go, so look again once that is over.
    if (!isFullScreen())
        return;
    QTimer::singleShot(0, this, [this] {
        if (isFullScreen() && d->layout && d->layout->isEmpty())
            onFullscreen();
    });
}

void MainWindow::exchangeCells(API::LayoutCellPoint srcPoint, API::LayoutCellPoint dstPoint)
{
    // A cell dropped on itself, or a drag of a cell that holds nothing, changes nothing.
    if (!d->layout || srcPoint == dstPoint || !d->layout->cell(srcPoint).camera)
        return;
    editLayout();
    d->layout->exchange(srcPoint, dstPoint);
}

void MainWindow::resizeLayout(int rows, int columns)
{
    // The edited copy grows: a discarded edit leaves the stored layout as it was.
    editLayout();
    d->layout->resize(rows, columns);
}

void MainWindow::setActiveCamera(API::CameraPtr camera)
{
    d->timeline->setCamera(camera);
    d->layoutWidget->setActiveCamera(camera);
    d->layoutWidget->setSoundVolume(d->controlPanel->soundVolume());
    d->activeCamera = camera;
    updateExportButton();
}

void MainWindow::openNewLayout()
{
    auto layout = std::make_shared<API::Layout>();
    layout->resize(2, 2);
    if (!openLayout(layout))
        return;
    setRosterMode();
    editLayout();
    d->infoPanel->focusNameEdit();
}

bool MainWindow::openLayout(API::LayoutPtr layout)
{
    if (!layout)
        return false;
    if (d->editing) {
        cancelEditLayoutRequest();
        if (d->editing)
            return false;
    }
    qDebug() << "Open layout" << layout->name();
    d->showLayout(layout);
    if (!layout->isEmpty())
        emit cameraActivated(layout->firstCamera());
    d->layoutWidget->setSoundVolume(d->controlPanel->soundVolume());
    d->layoutWidget->setSoundEnabled(d->controlPanel->isSoundEnabled());
    setupLayout(layout);
    return true;
}

void MainWindow::setupLayout(API::LayoutPtr layout)
{
    if (d->layout)
        disconnect(d->layout.get(), nullptr, this, nullptr);
    d->layout = layout;
    setupConnections();
    updateAddToLayoutEnabled();
}

void MainWindow::setupConnections()
{
    if (!d->layout)
        return;
    API::Layout* layout = d->layout.get();
    connect(layout, &API::Layout::cameraAdded, this, &MainWindow::onCameraAdded);
    connect(layout, &API::Layout::cameraRemoved, this, &MainWindow::updateAddToLayoutEnabled);
    connect(layout, &API::Layout::resized, this, &MainWindow::updateAddToLayoutEnabled);
    connect(layout, &API::Layout::camerasTimelineUpdated, this, &MainWindow::updateExportButton);
}

void MainWindow::closeLayout()
{
    openLayout(std::make_shared<API::Layout>());
}

void MainWindow::closeDeletedLayout(API::LayoutPtr layout)
{
    // Only the user's deletion: a refresh or a sign-out that takes layouts out
    // of the store leaves the grid's players to the layout coming back.
    if (!layout || !d->layout || d->layout->id() != layout->id())
        return;
    // An edit of the deleted layout goes with it: the user has just said so.
    if (d->editing)
        cancelEditLayout();
    else
        closeLayout();
}

void MainWindow::editLayout()
{
    if (d->editing || !d->layout)
        return;
    // The copy keeps the id and the cameras, so the grid keeps its players.
    auto copy = std::make_shared<API::Layout>(*d->layout);
    d->showLayout(copy);
    setupLayout(copy);
    d->infoPanel->setEditing(true);
    d->editing = true;
}

void MainWindow::cancelEditLayoutRequest()
{
    if (!d->editing)
        return;
    QMessageBox box(this);
    styleQuestion(box);
    box.setWindowModality(Qt::WindowModal);
    box.setText(tr("The layout has been modified."));
    box.setInformativeText(tr("Do you want to save your changes?"));
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        saveEditLayout();
        break;
    case QMessageBox::Discard:
        cancelEditLayout();
        break;
    default:
        break;
    }
}

void MainWindow::cancelEditLayout()
{
    if (!d->editing)
        return;
    d->editing = false;
    d->infoPanel->setEditing(false);
    const API::LayoutPtr stored = App::Layouts::instance()->item(d->layout->id());
    if (stored && stored->exists())
        openLayout(stored);
    else
        closeLayout();
}

void MainWindow::saveEditLayout()
{
    if (!d->editing)
        return;
    d->editing = false;
    d->infoPanel->setEditing(false);
    d->layout->setName(d->infoPanel->layoutName());
    App::Layouts* store = App::Layouts::instance();
    API::LayoutPtr stored = store->item(d->layout->id());
    if (!stored || !stored->exists()) {
        d->layout->setExists(true);
        store->add(d->layout);
        stored = store->item(d->layout->id());
    }
    if (stored != d->layout)
        stored->update(*d->layout);
    openLayout(stored);
    store->store();
}

// --- playback ---

void MainWindow::prepareToLive()
{
    hideArchivePanels();
    const QDateTime now = QDateTime::currentDateTime();
    d->timeline->setPosition(now);
    d->controlPanel->setDateTime(now);
    d->controlPanel->showLiveLabel();
    d->controlPanel->showPauseButton();
}

void MainWindow::playLive()
{
    d->archivePlaying = false;
    prepareToLive();
    d->layoutWidget->playLive();
}

void MainWindow::playArchive(QDateTime time)
{
    if (!time.isValid())
        return;
    qDebug() << "Play archive from" << time;
    d->archivePlaying = true;
    d->timeline->setPosition(time);
    d->timeline->setPositionShown(true);
    d->controlPanel->setDateTime(time);
    d->controlPanel->showDateLabel();
    d->controlPanel->showPauseButton();
    d->layoutWidget->playArchive(time, d->controlPanel->speed());
}

void MainWindow::syncArchive()
{
    d->layoutWidget->syncArchive(d->controlPanel->speed());
}

void MainWindow::updateTimeline()
{
    if (!d->archivePlaying)
        return;
    const QDateTime time = d->layoutWidget->playbackTime();
    if (time.isValid() && time != d->timeline->position()) {
        d->timeline->setPosition(time);
        d->controlPanel->setDateTime(time);
    }
}

void MainWindow::updateDate(QDate date)
{
    d->timeline->changeDate(date);
    updateExportButton();
}

void MainWindow::pause()
{
    d->layoutWidget->pause();
    d->controlPanel->showPlayButton();
}

void MainWindow::unpause()
{
    d->layoutWidget->unpause();
    d->controlPanel->showPauseButton();
}

void MainWindow::setSoundVolume(int volume)
{
    d->layoutWidget->setSoundVolume(volume);
    if (d->controlPanel->soundVolume() != volume)
        d->controlPanel->setSoundVolume(volume);
}

void MainWindow::enableSound(bool enable)
{
    d->layoutWidget->setSoundEnabled(enable);
    d->controlPanel->enableSound(enable);
}

void MainWindow::setSpeed(int speed)
{
    if (!d->archivePlaying)
        return;
    const QDateTime time = d->timeline->position();
    if (time.isValid())
        d->layoutWidget->playArchive(time, speed);
}

// --- full screen ---

void MainWindow::onFullscreen()
{
    if (!isFullScreen()) {
        d->sideBarWasVisible = d->sideBar->isVisible();
        d->wasMaximized = isMaximized();
        d->sideBar->hide();
        d->toolBar->hide();
        d->infoPanel->hide();
        showFullScreen();
        d->controlPanel->enterFullscreen();
    } else {
        if (d->wasMaximized)
            showMaximized();
        else
            showNormal();
        d->infoPanel->show();
        d->controlPanel->leaveFullscreen();
        if (d->sideBarWasVisible) {
            d->sideBar->show();
            d->toolBar->show();
        }
    }
    handleFullscreenButton();
}

void MainWindow::handleFullscreenButton()
{
    d->controlPanel->setFullscreenButtonVisible(isFullScreen() || (d->layout && !d->layout->isEmpty()));
}

// --- quality ---

void MainWindow::setLowQuality() { d->layoutWidget->setQuality(0); }
void MainWindow::setMidQuality() { d->layoutWidget->setQuality(1); }
void MainWindow::setHighQuality() { d->layoutWidget->setQuality(2); }
void MainWindow::setAutoQuality() { d->layoutWidget->setQuality(LayoutWidget::autoQuality); }

// --- application-wide questions ---

void MainWindow::onUpdatesFound(QString version)
{
    if (qApp->property("updateNotified").toBool())
        return;
    qApp->setProperty("updateNotified", true);
    const QString name = QString::fromLatin1(App::Constants::applicationName);
    QMessageBox box(this);
    styleQuestion(box);
    box.setWindowModality(Qt::ApplicationModal);
    box.setText(tr("A new version of %1 is available!").arg(name));
    box.setInformativeText(tr("%1 %2 version is available.").arg(name, version)
                           + tr(" Would you like to download it now?"));
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    if (box.exec() == QMessageBox::Ok)
        QMetaObject::invokeMethod(qApp, "openDownloadsPage");
}

void MainWindow::onSignoutClicked()
{
    QMessageBox box(this);
    styleQuestion(box);
    box.setWindowModality(Qt::ApplicationModal);
    box.setText(tr("Are you sure you want to sign out?"));
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    if (box.exec() == QMessageBox::Ok)
        emit signout();
}

void MainWindow::onCameraAdded()
{
    updateAddToLayoutEnabled();
    // Only a camera the user put in: a stored layout refreshed from the
    // service also refills its cells, and must not end archive playback.
    if (d->editing && d->layout && d->layout->rows() == 1 && d->layout->columns() == 1) {
        prepareToLive();
        d->archivePlaying = false;
        d->layoutWidget->setQuality(d->layoutWidget->quality());
    }
}

// --- events ---

void MainWindow::closeEvent(QCloseEvent* event)
{
    App::Settings& settings = App::Settings::instance();
    settings.setValue(QStringLiteral("mainWindow/geometry"), saveGeometry());
    settings.sync();
    event->accept();
    emit closeRequested(this);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        onFullscreen();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != d->tickTimer) {
        QWidget::timerEvent(event);
        return;
    }
    if (d->tourRunner->isRunning())
        updateTourIndicator();
    if (d->archivePlaying) {
        syncArchive();
    } else if (d->timeline->isVisible() && !d->timeline->isSelecting()) {
        d->timeline->setPosition(QDateTime::currentDateTime());
        d->controlPanel->setDateTime(QDateTime::currentDateTime());
    }
}

// --- tours ---

void MainWindow::toggleTour()
{
    if (isTourRunning()) {
        stopTour();
        return;
    }
    App::Tours* store = App::Tours::instance();
    API::Tour tour = store->lastUsed();
    const QList<API::Tour> tours = store->tours();
    if (!tour.isValid() && tours.size() == 1)
        tour = tours.first();
    if (!tour.isValid() && tours.isEmpty())
        tour = store->tour(d->sideBar->tours()->newTour());
    if (!tour.isValid() && tours.size() > 1) {
        QStringList names;
        for (const API::Tour& each : tours)
            names << each.name;
        bool chosen = false;
        const QString name = QInputDialog::getItem(this, tr("Start a tour"), tr("Tour:"), names, 0, false, &chosen);
        if (!chosen)
            return;
        tour = tours.value(names.indexOf(name));
    }
    if (tour.isValid())
        startTour(tour.id);
}

void MainWindow::startTour(QString id)
{
    const API::Tour tour = App::Tours::instance()->tour(id);
    if (!tour.isValid())
        return;
    if (d->editing) {
        cancelEditLayoutRequest();
        if (d->editing)
            return;
    }
    stopTour();
    if (d->archivePlaying)
        playLive();
    d->tour = tour;
    d->stepCameras.clear();
    d->stepLayouts.clear();
    QStringList steps = tour.layoutIds;
    if (tour.allCameras) {
        steps.clear();
        for (const API::ServerPtr& server : App::Roster::instance()->items()) {
            for (const API::CameraPtr& camera : server->items()) {
                const QString step = server->id() + QLatin1Char('/') + QString::number(camera->id());
                d->stepCameras.insert(step, camera);
                steps << step;
            }
        }
    }
    App::Tours::instance()->setLastUsed(tour.id);
    qDebug() << "Start tour" << tour.name << "steps:" << steps.size();

    d->spare = new LayoutWidget(d->stack->parentWidget());
    connectGrid(d->spare);
    d->stack->addWidget(d->spare);
    d->stack->setCurrentWidget(d->layoutWidget);
    // Opaque, so that the grid behind is never painted.
    d->layoutWidget->setAutoFillBackground(true);
    d->spare->setAutoFillBackground(true);
    d->tourIndicator->show();
    d->sideBar->tours()->setRunningTour(tour.id);
    d->interactionFilter = new TourInteraction(this, d->tourRunner);
    qApp->installEventFilter(d->interactionFilter);

    d->tourRunner->setTimings(tour.dwellSeconds * 1000, d->tourPreloadMs, d->tourQuietMs);
    d->tourRunner->start(steps);
    if (!d->tourRunner->isRunning())
        d->layoutWidget->showProblem(tr("The tour \"%1\" has nothing to show.").arg(tour.name));
}

void MainWindow::stopTour()
{
    // Also reached from the runner's own stop: every step turned unavailable.
    d->tourRunner->stop();
    if (!d->spare)
        return;
    qDebug() << "Stop tour" << d->tour.name;
    delete d->interactionFilter;
    d->interactionFilter = nullptr;
    dropPreloaded();
    d->stack->removeWidget(d->spare);
    d->spare->hide();
    d->spare->deleteLater();
    d->spare = nullptr;
    d->layoutWidget->setAutoFillBackground(false);
    d->tourIndicator->hide();
    d->sideBar->tours()->setRunningTour(QString());
    d->tour = API::Tour();
    d->stepCameras.clear();
    d->stepLayouts.clear();
}

API::LayoutPtr MainWindow::tourLayout(const QString& step)
{
    if (!d->tour.allCameras) {
        const API::LayoutPtr layout = App::Layouts::instance()->item(step);
        return layout && layout->exists() ? layout : nullptr;
    }
    const API::CameraPtr camera = d->stepCameras.value(step);
    if (!camera || !camera->exists())
        return nullptr;
    // One layout per camera for the whole tour: the one made ready is the one shown.
    API::LayoutPtr& layout = d->stepLayouts[step];
    if (!layout) {
        layout = std::make_shared<API::Layout>();
        layout->setName(camera->name());
        layout->addCamera(camera);
    }
    return layout;
}

void MainWindow::preloadTourStep(const QString& step)
{
    const API::LayoutPtr layout = tourLayout(step);
    if (!layout || !d->spare || d->preloaded == layout || layout == d->layout)
        return;
    // The players start as they will be when shown: the same quality rule,
    // sound settings, and none of them the active one until then.
    d->spare->setQuality(d->layoutWidget->quality());
    d->spare->setSoundVolume(d->controlPanel->soundVolume());
    d->spare->setSoundEnabled(d->controlPanel->isSoundEnabled());
    d->spare->setActiveCamera(nullptr);
    d->spare->setLayout(layout);
    d->preloaded = layout;
}

void MainWindow::dropPreloaded()
{
    if (d->spare && d->preloaded)
        d->spare->setLayout(nullptr);
    d->preloaded.reset();
}

void MainWindow::showTourStep(const QString& step)
{
    const API::LayoutPtr layout = tourLayout(step);
    if (!layout)
        return;
    // A layout being edited is the user's: the tour gives way.
    if (d->editing) {
        stopTour();
        return;
    }
    if (d->archivePlaying)
        playLive();
    if (layout == d->layout) {
        updateTourIndicator();
        return; // already on screen: its players go on
    }
    if (d->spare && d->preloaded == layout && d->spare->layout() == layout) {
        qDebug() << "Tour shows the layout made ready" << layout->name();
        LayoutWidget* left = d->layoutWidget;
        d->layoutWidget = d->spare;
        d->spare = left;
        d->stack->setCurrentWidget(d->layoutWidget);
        d->preloaded.reset();
        d->showAroundGrid(layout);
        if (!layout->isEmpty())
            emit cameraActivated(layout->firstCamera());
        setupLayout(layout);
        left->setLayout(nullptr);
    } else {
        dropPreloaded();
        openLayout(layout);
    }
    updateTourIndicator();
}

void MainWindow::updateTourIndicator()
{
    if (!d->tourRunner->isRunning())
        return;
    d->tourIndicator->showState(d->tour.name, d->tourRunner->position() + 1, d->tourRunner->count(),
                                d->tourRunner->msToNext());
}

void MainWindow::setStreamHealthShown(bool shown)
{
    d->layoutWidget->setStreamHealthShown(shown);
    d->controlPanel->setStreamHealthChecked(shown);
}

} // namespace OrvantaClient::GUI
