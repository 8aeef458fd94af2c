#pragma once

#include "model/apitypes.h"

#include <QDateTime>
#include <QWidget>
#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class MainWindowPrivate;
}

class ArchiveControlPanel;
class ControlPanel;
class InfoPanel;
class LayoutWidget;
class SideBar;
class Timeline;
class ToolBar;
class TourIndicator;
class TourRunner;

// The top-level window of a signed-in session: side bar, grid, panels and
// timeline. It owns the layout on screen and its editing session, and hands
// requests that concern every window to the application.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    API::LayoutPtr currentLayout() const;
    API::CameraPtr activeCamera() const;
    bool isEditing() const;
    bool isArchivePlaying() const;
    bool isExportMode() const;
    // The stream health over every cell of this window.
    bool isStreamHealthShown() const;

    // The parts, for the application and for tests that drive the window.
    SideBar* sideBar() const;
    ToolBar* toolBar() const;
    InfoPanel* infoPanel() const;
    LayoutWidget* layoutWidget() const;
    ControlPanel* controlPanel() const;
    ArchiveControlPanel* archiveControlPanel() const;
    Timeline* timeline() const;

    // Tours: the runner's timing, the bar shown while one runs, and the
    // periods before a switch when the next layout starts playing unseen (0:
    // it starts when shown) and of the quiet after which a paused tour goes
    // on; tests and benchmarks change them before a tour starts.
    bool isTourRunning() const;
    QString runningTourId() const;
    TourRunner* tourRunner() const;
    TourIndicator* tourIndicator() const;
    void setTourTimings(int preloadMs, int quietMs);

signals:
    void signout();
    void clone();
    void closeRequested(GUI::MainWindow* window);
    void openInNewWindow(API::CameraPtr camera);
    void openInNewWindow(API::LayoutPtr layout);
    void cameraActivated(API::CameraPtr camera);
    void volumeChanged(int volume);
    void soundEnabled(bool enabled);

public slots:
    void hideRosterAndToolbar();
    void showRosterAndToolbar();
    void hideArchivePanels();
    void showArchivePanels();
    void setExportMode();
    void setControlMode();
    void exportArchive();
    void cancelExport();
    void updateExportButton();
    void setRosterMode();
    void setLayoutsMode();
    void setSettingsMode();
    void closeCamera(API::LayoutCellPoint point);
    void openCamera(API::CameraPtr camera);
    void addToLayoutFromRoster(API::CameraPtr camera);
    void addToLayoutFromRoster(API::CameraPtr camera, API::LayoutCellPoint point);
    void updateAddToLayoutEnabled();
    void exchangeCells(API::LayoutCellPoint srcPoint, API::LayoutCellPoint dstPoint);
    void resizeLayout(int rows, int columns);
    void setActiveCamera(API::CameraPtr camera);
    void openNewLayout();
    bool openLayout(API::LayoutPtr layout);
    void setupLayout(API::LayoutPtr layout);
    void setupConnections();
    void closeLayout();
    // A layout the user deleted (in any window): its view, or its edit, closes.
    void closeDeletedLayout(API::LayoutPtr layout);
    void editLayout();
    void cancelEditLayoutRequest();
    void cancelEditLayout();
    void saveEditLayout();
    void prepareToLive();
    void playLive();
    void playArchive(QDateTime time);
    void syncArchive();
    void updateTimeline();
    void updateDate(QDate date);
    void pause();
    void unpause();
    void setSoundVolume(int volume);
    void enableSound(bool enable);
    void setSpeed(int speed);
    void onFullscreen();
    void handleFullscreenButton();
    void onExportDone(QString path);
    void onExportError();
    void onExportStarted();
    void onExportPercentDone(int percent);
    void setLowQuality();
    void setMidQuality();
    void setHighQuality();
    void setAutoQuality();
    void onUpdatesFound(QString version);
    void onSignoutClicked();
    void onCameraAdded();
    // Starts the tour chosen last (or asks for one), or stops the running one.
    void toggleTour();
    void startTour(QString id);
    void stopTour();
    void setStreamHealthShown(bool shown);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void leaveEmptyFullscreen();
    // Why the active camera's recordings cannot be exported now, or empty.
    QString exportUnavailableReason() const;
    void connectGrid(LayoutWidget* grid);
    // A step of the running tour: the layout it names, made once per step.
    API::LayoutPtr tourLayout(const QString& step);
    void preloadTourStep(const QString& step);
    void showTourStep(const QString& step);
    void dropPreloaded();
    void updateTourIndicator();

    std::unique_ptr<Internal::MainWindowPrivate> d;
};

} // namespace OrvantaClient::GUI
