#include "application.h"

#include "api/cloudapiclient.h"
#include "core/constants.h"
#include "core/languageloader.h"
#include "core/layouttotals.h"
#include "core/logger.h"
#include "core/quitsignals.h"
#include "core/settings.h"
#include "core/singleinstanceguard.h"
#include "core/storagepaths.h"
#include "core/usernotices.h"
#include "core/wakeinhibitor.h"
#include "core/weblinks.h"
#include "core/windowplacement.h"
#include "gui/dialogs/logindialog.h"
#include "gui/mainwindow/mainwindow.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/server.h"
#include "resources/resources.h"
#include "stores/layouts.h"
#include "stores/roster.h"
#include "stores/tours.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QIcon>
#include <QPointer>
#include <QScreen>

namespace OrvantaClient::App {

namespace Internal {

class ApplicationPrivate
{
public:
    QList<GUI::MainWindow*> windows;
    QPointer<GUI::LoginDialog> loginDialog;
    SingleInstanceGuard* guard = nullptr;
    WakeInhibitor* wakeInhibitor = nullptr;
    bool anotherInstance = false;
    bool updateNotified = false;
    // The window that asked for the one being set up (clone, open in new window).
    QPointer<GUI::MainWindow> placementSource;
};

// Ends the program when the user closes the login dialog without signing in;
// the application does not rely on the toolkit's last-window rule, because the
// dialog closes on a successful sign-in just before the first window opens.
class LoginDialogCloseWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            auto* app = Application::instance();
            if (app && app->mainWindows().isEmpty() && watched->property("loginPending").toBool())
                QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace Internal

namespace {

const char* const fontFiles[] = {
    ":/fonts/fonts/PTS55F.ttf", ":/fonts/fonts/PTS56F.ttf", ":/fonts/fonts/PTS75F.ttf", ":/fonts/fonts/PTS76F.ttf",
    ":/fonts/fonts/PTC55F.ttf", ":/fonts/fonts/PTC75F.ttf", ":/fonts/fonts/PTN57F.ttf", ":/fonts/fonts/PTN77F.ttf",
};

void makeFolder(const QString& path)
{
    // The platform's parent folders may not exist yet on a fresh account.
    if (!path.isEmpty() && !QDir().mkpath(path))
        qWarning() << "Cannot create folder:" << path;
}

// A working folder that cannot be written (read-only, or a shared one) must not
// keep the program from starting: the log goes to the cache folder, else only
// to the standard error output, and the user is told once.
void openLog(const QString& logName)
{
    qDebug() << "LogPath:" << logName;
    if (Logger::open(logName))
        return;
    const QString folder = QDir::currentPath();
    const QString fallback = QDir(StoragePaths::cacheDir()).filePath(logName);
    if (Logger::open(fallback)) {
        qDebug() << "Cannot open log file in working folder:" << folder << "log written to" << fallback;
        UserNotices::instance().post(
            Application::tr("Settings and logs cannot be written to %1. The log is kept in %2.").arg(folder, fallback));
    } else {
        qDebug() << "Cannot open log file in working folder:" << folder << "nor in" << fallback;
        UserNotices::instance().post(Application::tr("Settings and logs cannot be written to %1.").arg(folder));
    }
}

// SIGTERM and SIGINT (a logout of the desktop session, a shutdown, kill, Ctrl+C)
// quit the way closing the last window does: the windows close and stop their
// workers, and the files are written.
void quitOnSignals(Application* app)
{
    auto* watcher = new QuitSignals(app);
    QObject::connect(watcher, &QuitSignals::quitRequested, app, [app](int signalNumber) {
        qDebug() << "Quit on signal" << signalNumber;
        QApplication::closeAllWindows();
        app->quit();
    });
}

} // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
    , d(std::make_shared<Internal::ApplicationPrivate>())
{
    setApplicationName(QString::fromLatin1(Constants::applicationName));
    setApplicationVersion(QString::fromLatin1(Constants::applicationVersion));
    setQuitOnLastWindowClosed(false);
    // Translations and fonts come from the compiled-in resources.
    registerResources();
    API::registerMetaTypes();
    LayoutTotals::setProvider([this] { return LayoutTotals::Totals{camerasInLayouts(), cellsInLayouts()}; });

    LanguageLoader::load(language());

    for (const char* font : fontFiles) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(font)) < 0)
            qWarning() << "Cannot load font:" << font;
    }

    makeFolder(cacheDir());
    makeFolder(configDir());

    d->wakeInhibitor = new WakeInhibitor(this);
    d->wakeInhibitor->inhibit(applicationName(), QStringLiteral("Watching video"));

    d->guard = new SingleInstanceGuard(this);
    connect(d->guard, &SingleInstanceGuard::anotherLaunch, this, &Application::newAppLaunched);
    const QString internalName = QString::fromLatin1(Constants::internalName);
    d->anotherInstance = d->guard->check(internalName + QStringLiteral("-single-app-lock"));

    if (!d->anotherInstance) {
        openLog(internalName + QStringLiteral("_log.txt"));
        quitOnSignals(this);
        // Told in the language just loaded, and logged again now that the log
        // is open: the settings were read before.
        const QString settingsNotice = Settings::instance().readNotice();
        if (!settingsNotice.isEmpty()) {
            qWarning() << settingsNotice;
            UserNotices::instance().post(settingsNotice);
        }
    }

    setWindowIcon(QIcon(QStringLiteral("://icons/") + internalName + QStringLiteral(".png")));

    Settings& settings = Settings::instance();
    if (!settings.contains(QStringLiteral("experimental/framepump")))
        settings.setValue(QStringLiteral("experimental/framepump"), true);
    settings.sync();

    qDebug() << "==== Application directories: ====";
    qDebug() << "Cache dir:" << cacheDir();
    qDebug() << "Local roster file:" << localRosterFileName();
    qDebug() << "Local settings file:" << settingsFileName();
    qDebug() << "Export dir:" << exportPath();
    qDebug() << "Temp path:" << QDir::tempPath();
    qDebug() << "==================================";
}

Application::~Application()
{
    LayoutTotals::setProvider(nullptr);
    qDeleteAll(d->windows);
    d->windows.clear();
    delete d->loginDialog.data();
    if (!d->anotherInstance)
        Logger::close();
}

Application* Application::instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

QString Application::language() const
{
    return LanguageLoader::chosen();
}

QString Application::exportPath() const
{
    return StoragePaths::exportPath();
}

QString Application::platformName() const
{
    return QString::fromLatin1(Constants::platformName);
}

QString Application::cacheDir() const
{
    return StoragePaths::cacheDir();
}

QString Application::configDir() const
{
    return StoragePaths::configDir();
}

QString Application::localRosterFileName() const
{
    return StoragePaths::localRosterFileName();
}

QString Application::localLayoutsFilePath() const
{
    return StoragePaths::localLayoutsFilePath();
}

QString Application::settingsFileName() const
{
    return Settings::instance().fileName();
}

bool Application::anotherInstanceFound() const
{
    return d->anotherInstance;
}

bool Application::isUpdateNotified() const
{
    return d->updateNotified;
}

void Application::setUpdateNotified(bool notified)
{
    d->updateNotified = notified;
}

int Application::camerasInLayouts() const
{
    int total = 0;
    for (GUI::MainWindow* window : d->windows) {
        if (const API::LayoutPtr layout = window->currentLayout())
            total += layout->camerasCount();
    }
    return total;
}

int Application::cellsInLayouts() const
{
    int total = 0;
    for (GUI::MainWindow* window : d->windows) {
        if (const API::LayoutPtr layout = window->currentLayout())
            total += layout->rows() * layout->columns();
    }
    return total;
}

QList<GUI::MainWindow*> Application::mainWindows() const
{
    return d->windows;
}

void Application::restart()
{
    exit(Constants::exitRestart);
}

bool Application::startAgain()
{
    // The successor reads the settings and empties the log file at its start:
    // both must be done with here first.
    Settings::instance().sync();
    // The program's own path is argument 0 of the successor, not one of its options.
    const QStringList options = arguments().mid(1);
    qDebug() << "Restarting:" << applicationFilePath() << options;
    Logger::close();
    return d->guard->handOver(applicationFilePath(), options);
}

void Application::translate(QString language)
{
    LanguageLoader::load(language);
    Settings::instance().setValue(QStringLiteral("common/language"), language);
}

void Application::startLogin()
{
    if (!d->loginDialog) {
        d->loginDialog = new GUI::LoginDialog;
        d->loginDialog->setProperty("loginPending", true);
        d->loginDialog->installEventFilter(new Internal::LoginDialogCloseWatcher(d->loginDialog));
        connect(d->loginDialog, &GUI::LoginDialog::loginSuccessful, this, &Application::loginSuccessful);
    }
    GUI::LoginDialog* dialog = d->loginDialog;
    if (QScreen* screen = primaryScreen()) {
        QRect frame = dialog->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog->move(frame.topLeft());
    }
    dialog->show();
    if (dialog->isRememberMe())
        dialog->tryLogin();
}

void Application::loginSuccessful()
{
    if (GUI::LoginDialog* dialog = d->loginDialog) {
        dialog->setProperty("loginPending", false);
        dialog->close();
        dialog->deleteLater();
        d->loginDialog = nullptr;
    }
    createMainWindow();
    Roster::instance()->login();
    Layouts::instance()->login();
    Tours::instance()->login();
}

GUI::MainWindow* Application::newMainWindow(GUI::MainWindow* requester)
{
    auto* window = new GUI::MainWindow;
    d->placementSource = requester;
    setupMainWindow(window);
    d->placementSource = nullptr;
    return window;
}

void Application::createMainWindow()
{
    newMainWindow(qobject_cast<GUI::MainWindow*>(sender()));
}

void Application::createMainWindow(API::CameraPtr camera)
{
    newMainWindow(qobject_cast<GUI::MainWindow*>(sender()))->openCamera(camera);
}

void Application::createMainWindow(API::LayoutPtr layout)
{
    newMainWindow(qobject_cast<GUI::MainWindow*>(sender()))->openLayout(layout);
}

void Application::setupMainWindow(GUI::MainWindow* mainWindow)
{
    using GUI::MainWindow;
    connect(mainWindow, &MainWindow::signout, this, &Application::mainWindowSignout);
    connect(mainWindow, &MainWindow::clone, this, qOverload<>(&Application::createMainWindow));
    connect(mainWindow, qOverload<API::CameraPtr>(&MainWindow::openInNewWindow), this,
            qOverload<API::CameraPtr>(&Application::createMainWindow));
    connect(mainWindow, qOverload<API::LayoutPtr>(&MainWindow::openInNewWindow), this,
            qOverload<API::LayoutPtr>(&Application::createMainWindow));
    connect(mainWindow, &MainWindow::closeRequested, this, &Application::closeMainWindow);
    connect(mainWindow, &MainWindow::cameraActivated, this, &Application::setActiveCamera);
    connect(mainWindow, &MainWindow::volumeChanged, this, &Application::setSoundVolume);
    connect(mainWindow, &MainWindow::soundEnabled, this, &Application::enableSound);

    if (d->windows.isEmpty()) {
        const QByteArray geometry = Settings::instance().value(QStringLiteral("mainWindow/geometry")).toByteArray();
        // A garbled one is refused by the toolkit; the window keeps its default place.
        if (!geometry.isEmpty() && !mainWindow->restoreGeometry(geometry))
            qWarning() << "Ignoring invalid saved window geometry";
    } else {
        MainWindow* requester = d->placementSource;
        QList<QRect> screenRects;
        QList<bool> occupied;
        const QList<QScreen*> allScreens = screens();
        for (QScreen* screen : allScreens) {
            screenRects << screen->geometry();
            bool holdsWindow = false;
            for (MainWindow* window : qAsConst(d->windows))
                holdsWindow = holdsWindow || screenAt(window->geometry().center()) == screen;
            occupied << holdsWindow;
        }
        // Positions are frame positions (pos/move), sizes are client sizes (size/resize).
        const QRect placed = WindowPlacement::place(QRect(mainWindow->pos(), mainWindow->size()),
                                                    requester ? QRect(requester->pos(), requester->size()) : QRect(),
                                                    screenRects, occupied);
        mainWindow->resize(placed.size());
        mainWindow->move(placed.topLeft());
    }
    d->windows.append(mainWindow);
    mainWindow->show();
}

void Application::closeMainWindow(GUI::MainWindow* mainWindow)
{
    d->windows.removeAll(mainWindow);
    mainWindow->deleteLater();
    if (d->windows.isEmpty())
        quit();
}

void Application::mainWindowSignout()
{
    for (GUI::MainWindow* window : qAsConst(d->windows)) {
        window->hide();
        window->deleteLater();
    }
    d->windows.clear();
    d->updateNotified = false;
    API::CloudAPIClient().logout();
    Roster::instance()->logout();
    Layouts::instance()->logout();
    Tours::instance()->logout();
    Settings::instance().setValue(QStringLiteral("auth/password"), QString());
    startLogin();
}

void Application::setSoundVolume(int volume)
{
    for (GUI::MainWindow* window : qAsConst(d->windows))
        window->setSoundVolume(volume);
}

void Application::enableSound(bool enable)
{
    for (GUI::MainWindow* window : qAsConst(d->windows))
        window->enableSound(enable);
}

void Application::setActiveCamera(API::CameraPtr camera)
{
    for (GUI::MainWindow* window : qAsConst(d->windows))
        window->setActiveCamera(camera);
}

void Application::newAppLaunched()
{
    if (d->windows.isEmpty())
        return;
    GUI::MainWindow* first = d->windows.first();
    first->show();
    first->raise();
    first->activateWindow();
}

void Application::openUrl(const QUrl& url)
{
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void Application::openDownloadsPage()
{
    openUrl(WebLinks::downloads(language()));
}

void Application::openPasswordRecoveryPage()
{
    openUrl(WebLinks::passwordRecovery(language()));
}

void Application::openSignUpPage()
{
    openUrl(WebLinks::signUp(language()));
}

void Application::openAddingCameraTariffPage(API::CameraPtr camera)
{
    if (!camera)
        return;
    if (camera->server() && camera->server()->isLocal()) {
        qDebug() << "Skip adding tariff to local camera" << camera->name();
        return;
    }
    const QString serverId = camera->server() ? camera->server()->id() : QString();
    openUrl(WebLinks::addingCameraTariff(language(), serverId, camera->id(), API::CloudAPIClient::sessionId()));
}

} // namespace OrvantaClient::App
