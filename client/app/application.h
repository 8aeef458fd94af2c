#pragma once

#include "model/apitypes.h"

#include <QApplication>
#include <memory>

namespace OrvantaClient::GUI {
class MainWindow;
}

namespace OrvantaClient::App {

namespace Internal {
class ApplicationPrivate;
}

// The one application object of watchdesk: folders, log, single-instance
// guard, language, web links, the main windows and the login sequence.
class Application : public QApplication
{
    Q_OBJECT
    // Read by the windows, which cannot see this class: the update question is asked once per login.
    Q_PROPERTY(bool updateNotified READ isUpdateNotified WRITE setUpdateNotified)
public:
    Application(int& argc, char** argv);
    ~Application() override;

    static Application* instance();

    QString language() const;
    QString exportPath() const;
    QString platformName() const;
    QString cacheDir() const;
    QString configDir() const;
    QString localRosterFileName() const;
    QString localLayoutsFilePath() const;
    QString settingsFileName() const;
    bool anotherInstanceFound() const;
    // After restart(): starts this program again as a new process that takes
    // over the single-instance claim. Only called once the event loop ended.
    bool startAgain();
    bool isUpdateNotified() const;
    void setUpdateNotified(bool notified);

    // Totals over the current layouts of all open main windows.
    int camerasInLayouts() const;
    int cellsInLayouts() const;

    QList<GUI::MainWindow*> mainWindows() const;

public slots:
    void restart();
    void translate(QString language);
    void startLogin();
    void createMainWindow();
    void createMainWindow(API::CameraPtr camera);
    void createMainWindow(API::LayoutPtr layout);
    void setupMainWindow(GUI::MainWindow* mainWindow);
    void closeMainWindow(GUI::MainWindow* mainWindow);
    void mainWindowSignout();
    void loginSuccessful();
    void setSoundVolume(int volume);
    void enableSound(bool enable);
    void setActiveCamera(API::CameraPtr camera);
    void newAppLaunched();
    void openDownloadsPage();
    void openPasswordRecoveryPage();
    void openSignUpPage();
    void openAddingCameraTariffPage(API::CameraPtr camera);

private:
    GUI::MainWindow* newMainWindow(GUI::MainWindow* requester);
    void openUrl(const QUrl& url);

    std::shared_ptr<Internal::ApplicationPrivate> d;
};

} // namespace OrvantaClient::App
