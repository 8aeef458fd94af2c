// The application object in this process: start-up in a scratch working folder,
// languages, web links, windows and the sign-out sequence.
#include "../common/filemode.h"
#include "../common/messagecapture.h"
#include "app/application.h"
#include "core/languageloader.h"
#include "core/settings.h"
#include "core/usernotices.h"
#include "gui/dialogs/logindialog.h"
#include "gui/grid/layoutwidget.h"
#include "gui/mainwindow/mainwindow.h"
#include "gui/panels/archivecontrolpanel.h"
#include "gui/panels/controlpanel.h"
#include "gui/panels/infopanel.h"
#include "gui/sidebar/sidebar.h"
#include "gui/widgets/playernotification.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "model/server.h"
#include "stores/layouts.h"
#include "stores/roster.h"

#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QJsonArray>
#include <QMimeData>
#include <QJsonObject>
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

using namespace OrvantaClient;

namespace {

QTemporaryDir* scratch = nullptr;

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class LocalTestServer : public API::Server
{
public:
    using API::Server::Server;
    bool isLocal() const override { return true; }
};

QString readLog()
{
    QFile log(QStringLiteral("orvanta_client_log.txt"));
    log.open(QIODevice::ReadOnly | QIODevice::Text);
    return QString::fromUtf8(log.readAll());
}

GUI::LoginDialog* visibleLoginDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<GUI::LoginDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Answers every question box that comes up with one button, and remembers the texts.
class QuestionAnswerer : public QObject
{
public:
    explicit QuestionAnswerer(QMessageBox::StandardButton answer)
        : m_answer(answer)
    {
        startTimer(20);
    }
    QStringList texts;

protected:
    void timerEvent(QTimerEvent*) override
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && box->isVisible()) {
            texts << box->text();
            box->button(m_answer)->click();
        }
    }

private:
    QMessageBox::StandardButton m_answer;
};

// A server card of the side bar let go over the grid.
void dropServer(QWidget* grid, const QString& serverId)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << serverId;
    QMimeData mime;
    mime.setData(QStringLiteral("server"), data);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &drop);
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void startupWritesSettingsAndDirectoryBlock();
    void resourcesAreCompiledIn();
    void languageFollowsLocaleUntilChosen();
    void translateLoadsTwoLettersOnce();
    void layoutsFileIsNamedByLowerCasedEmail();
    void webPagesOpenInBrowser();
    void loginOpensFirstWindowAndStores();
    void cloneOpensOffsetWindowOfSameSize();
    void layoutEditingAsksBeforeLeaving();
    void activeCameraAndUpdateNoticeAcrossWindows();
    void fullScreenLeftWhenTheGridEmpties();
    void exportSaysWhyItIsNotPossible();
    void signOutClosesEveryWindowAndForgetsPassword();
    void noticesWaitForAWindowAndShowOnce();
};

void TestApplication::startupWritesSettingsAndDirectoryBlock()
{
    auto* app = App::Application::instance();
    QVERIFY(!app->anotherInstanceFound());
    QCOMPARE(QSettings(QStringLiteral("OrvantaClient.ini"), QSettings::IniFormat)
                 .value(QStringLiteral("experimental/framepump")).toString(),
             QStringLiteral("true"));

    const QStringList lines = readLog().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected{
        QStringLiteral("==== Application directories: ===="),
        QStringLiteral("Cache dir: \"%1\"").arg(app->cacheDir()),
        QStringLiteral("Local roster file: \"local_roster.txt\""),
        QStringLiteral("Local settings file: \"%1\"").arg(app->settingsFileName()),
        QStringLiteral("Export dir: \"%1\"").arg(QDir::homePath() + QStringLiteral("/Orvanta Client")),
        QStringLiteral("Temp path: \"%1\"").arg(QDir::tempPath()),
        QStringLiteral("=================================="),
    };
    const int first = lines.indexOf(QRegularExpression(QStringLiteral(".* ==== Application directories: ====$")));
    QVERIFY2(first >= 0, qPrintable(lines.join(QLatin1Char('\n'))));
    QVERIFY(lines.size() >= first + expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(lines.at(first + i).mid(QStringLiteral("dd.MM.yyyy hh:mm::ss.zzz ").size()), expected.at(i));

    QCOMPARE(fileMode(QStringLiteral("orvanta_client_log.txt")), 0600);
    QCOMPARE(fileMode(QStringLiteral("OrvantaClient.ini")), 0600);
    QVERIFY(QDir(app->cacheDir()).exists());
    QVERIFY(app->cacheDir().startsWith(scratch->path()));
    // The export folder was read for the block, so its default is stored.
    QCOMPARE(App::Settings::instance().value(QStringLiteral("common/exportPath")).toString(),
             QDir::homePath() + QStringLiteral("/Orvanta Client"));
}

void TestApplication::resourcesAreCompiledIn()
{
    QVERIFY(QFontDatabase().families().contains(QStringLiteral("PT Sans")));
    QVERIFY(QFontDatabase().families().contains(QStringLiteral("PT Sans Caption")));
    QVERIFY(QFontDatabase().families().contains(QStringLiteral("PT Sans Narrow")));
    QVERIFY(!QPixmap(QStringLiteral("://icons/orvanta_client.png")).isNull());
    QVERIFY(!QPixmap(QStringLiteral(":/login/login/icons/orvanta_client_logo.png")).isNull());
    QVERIFY(!App::Application::windowIcon().isNull());
}

void TestApplication::languageFollowsLocaleUntilChosen()
{
    // LANG is ru_RU for this process (see main).
    auto* app = App::Application::instance();
    QVERIFY(!App::Settings::instance().contains(QStringLiteral("common/language")));
    QCOMPARE(app->language(), QStringLiteral("ru"));
    QCOMPARE(App::LanguageLoader::loaded(), QStringLiteral("ru"));
    QVERIFY(!App::Settings::instance().contains(QStringLiteral("common/language")));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    QCOMPARE(API::Layout().name(), QStringLiteral("Раскладка без названия"));

    // A language the program does not have, written by hand or garbled, is the locale's.
    App::Settings::instance().setValue(QStringLiteral("common/language"), QStringLiteral("\x01klingon"));
    QCOMPARE(app->language(), QStringLiteral("ru"));
    App::Settings::instance().remove(QStringLiteral("common/language"));
}

void TestApplication::translateLoadsTwoLettersOnce()
{
    auto* app = App::Application::instance();
    MessageCapture capture;
    app->translate(QStringLiteral("ru_RU"));
    QCOMPARE(capture.messages(), QStringList());
    QCOMPARE(App::Settings::instance().value(QStringLiteral("common/language")).toString(), QStringLiteral("ru_RU"));
    QCOMPARE(app->language(), QStringLiteral("ru_RU"));

    app->translate(QStringLiteral("en"));
    QCOMPARE(capture.messages(), QStringList{QStringLiteral("Loading language: \"en\"")});
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

    capture.clear();
    app->translate(QStringLiteral("ru_RU"));
    app->translate(QStringLiteral("ru"));
    QCOMPARE(capture.messages(), QStringList{QStringLiteral("Loading language: \"ru\"")});
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));

    // A language without compiled-in texts keeps the English source texts.
    app->translate(QStringLiteral("de_DE"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    app->translate(QStringLiteral("en"));
}

void TestApplication::layoutsFileIsNamedByLowerCasedEmail()
{
    auto* app = App::Application::instance();
    App::Settings::instance().setValue(QStringLiteral("auth/email"), QStringLiteral("Someone@Example.COM"));
    QCOMPARE(app->localLayoutsFilePath(), app->cacheDir() + QStringLiteral("/layouts.16d113840f999444259f73bac9ab8b10"));
    App::Settings::instance().setValue(QStringLiteral("auth/email"), QString());
}

void TestApplication::webPagesOpenInBrowser()
{
    auto* app = App::Application::instance();
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");

    app->openDownloadsPage();
    app->openSignUpPage();
    QCOMPARE(recorder.urls.size(), 2);
    QCOMPARE(recorder.urls.at(0).path(), QStringLiteral("/downloads"));
    QCOMPARE(recorder.urls.at(0).query(), QStringLiteral("lang=en"));
    QCOMPARE(recorder.urls.at(1).path(), QStringLiteral("/sign_up"));

    API::Server cloud(QJsonObject{{QStringLiteral("id"), QStringLiteral("srv-1")}});
    auto cloudCamera = std::make_shared<API::Camera>(
        &cloud, QJsonObject{{QStringLiteral("id"), 5}, {QStringLiteral("name"), QStringLiteral("Gate")}});
    app->openAddingCameraTariffPage(cloudCamera);
    QCOMPARE(recorder.urls.size(), 3);
    QCOMPARE(recorder.urls.at(2).path(), QStringLiteral("/my-tariff"));
    QVERIFY(QUrlQuery(recorder.urls.at(2)).hasQueryItem(QStringLiteral("_go")));

    LocalTestServer local(QJsonObject{{QStringLiteral("id"), QStringLiteral("192.168.0.10:8080")}});
    auto localCamera = std::make_shared<API::Camera>(
        &local, QJsonObject{{QStringLiteral("id"), 1}, {QStringLiteral("name"), QStringLiteral("Yard")}});
    MessageCapture capture;
    app->openAddingCameraTariffPage(localCamera);
    QCOMPARE(recorder.urls.size(), 3);
    QCOMPARE(capture.messages(), QStringList{QStringLiteral("Skip adding tariff to local camera \"Yard\"")});

    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void TestApplication::loginOpensFirstWindowAndStores()
{
    auto* app = App::Application::instance();
    // Nobody is remembered: the dialog stays up and waits.
    app->startLogin();
    QVERIFY(visibleLoginDialog());
    QVERIFY(app->mainWindows().isEmpty());

    app->loginSuccessful();
    QCOMPARE(app->mainWindows().size(), 1);
    QVERIFY(app->mainWindows().first()->isVisible());
    QTRY_VERIFY(!visibleLoginDialog());
    QVERIFY(App::Roster::instance()->isLoggedIn());
    QVERIFY(App::Layouts::instance()->isLoggedIn());
    QCOMPARE(app->cellsInLayouts(), 1);
    QCOMPARE(app->camerasInLayouts(), 0);
}

void TestApplication::cloneOpensOffsetWindowOfSameSize()
{
    auto* app = App::Application::instance();
    GUI::MainWindow* first = app->mainWindows().first();
    first->resize(900, 600);
    first->move(100, 120);
    emit first->clone();
    QCOMPARE(app->mainWindows().size(), 2);
    GUI::MainWindow* second = app->mainWindows().at(1);
    QCOMPARE(second->size(), QSize(900, 600));
    QCOMPARE(second->pos(), first->pos() + QPoint(30, 30));
    QCOMPARE(app->cellsInLayouts(), 2);
}

void TestApplication::layoutEditingAsksBeforeLeaving()
{
    GUI::MainWindow* window = App::Application::instance()->mainWindows().first();

    // A new 2x2 layout is edited at once; discarded, it leaves an empty grid.
    window->openNewLayout();
    QVERIFY(window->isEditing());
    QCOMPARE(window->currentLayout()->rows(), 2);
    {
        QuestionAnswerer discard(QMessageBox::Discard);
        window->cancelEditLayoutRequest();
        QCOMPARE(discard.texts, QStringList{QCoreApplication::translate("OrvantaClient::GUI::MainWindow",
                                                                        "The layout has been modified.")});
    }
    QVERIFY(!window->isEditing());
    QVERIFY(window->currentLayout()->isEmpty());
    QCOMPARE(window->currentLayout()->rows() * window->currentLayout()->columns(), 1);

    // Opening another layout during an edit asks; Cancel keeps the edit on screen.
    window->openNewLayout();
    const API::LayoutPtr edited = window->currentLayout();
    {
        QuestionAnswerer cancel(QMessageBox::Cancel);
        QVERIFY(!window->openLayout(std::make_shared<API::Layout>()));
        QCOMPARE(cancel.texts.size(), 1);
    }
    QCOMPARE(window->currentLayout(), edited);
    QVERIFY(window->isEditing());

    // Saved: the store holds it under the typed name and the window shows the stored one.
    window->infoPanel()->findChild<QLineEdit*>(QStringLiteral("layoutNameEdit"))->setText(QStringLiteral("Hall"));
    window->saveEditLayout();
    QVERIFY(!window->isEditing());
    const API::LayoutPtr stored = App::Layouts::instance()->item(edited->id());
    QVERIFY(stored && stored->exists());
    QCOMPARE(stored->name(), QStringLiteral("Hall"));
    QCOMPARE(window->currentLayout(), stored);
    // A cell let go where it was picked up starts no edit.
    window->exchangeCells(API::LayoutCellPoint(1, 0), API::LayoutCellPoint(1, 0));
    QVERIFY(!window->isEditing());

    // Editing it again and discarding brings the stored one back unchanged.
    window->editLayout();
    QVERIFY(window->currentLayout() != stored);
    window->currentLayout()->resize(3, 3);
    window->cancelEditLayout();
    QCOMPARE(window->currentLayout(), stored);
    QCOMPARE(stored->rows(), 2);

    // A server with six cameras dropped on it grows the edit to 3x2; discarded,
    // the stored layout and the grid on screen are 2x2 and empty again.
    QJsonArray cameras;
    for (int id = 1; id <= 6; ++id)
        cameras.append(QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("name"), QStringLiteral("Hall %1").arg(id)}});
    auto server = std::make_shared<API::Server>(QJsonObject{
        {QStringLiteral("id"), QStringLiteral("hall-server")}, {QStringLiteral("cameras"), cameras}});
    server->setExists(true);
    App::Roster::instance()->add(server);
    dropServer(window->layoutWidget(), server->id());
    QVERIFY(window->isEditing());
    QCOMPARE(window->currentLayout()->rows(), 3);
    QCOMPARE(window->layoutWidget()->players().size(), 6);
    window->cancelEditLayout();
    QCOMPARE(window->currentLayout(), stored);
    QCOMPARE(stored->rows(), 2);
    QCOMPARE(window->layoutWidget()->findChild<QGridLayout*>()->count(), 4);
}

void TestApplication::activeCameraAndUpdateNoticeAcrossWindows()
{
    auto* app = App::Application::instance();
    QVERIFY(app->mainWindows().size() >= 2);
    GUI::MainWindow* first = app->mainWindows().at(0);
    GUI::MainWindow* second = app->mainWindows().at(1);
    API::LocalServer local(QStringLiteral("Nowhere"), QStringLiteral("127.0.0.1"), 9, QString());
    auto camera = std::make_shared<API::Camera>(&local, QJsonObject{{QStringLiteral("id"), 5}});

    // A camera dropped on a one-cell layout becomes the active camera of every window.
    first->closeLayout();
    first->addToLayoutFromRoster(camera, API::LayoutCellPoint(0, 0));
    QCOMPARE(first->activeCamera(), camera);
    QCOMPARE(second->activeCamera(), camera);
    {
        QuestionAnswerer discard(QMessageBox::Discard);
        first->closeLayout();
    }

    // The update question comes once per login, whichever window hears of it.
    app->setUpdateNotified(false);
    QuestionAnswerer cancel(QMessageBox::Cancel);
    first->onUpdatesFound(QStringLiteral("9.0.0"));
    second->onUpdatesFound(QStringLiteral("9.0.0"));
    QCOMPARE(cancel.texts.size(), 1);
    QVERIFY(app->isUpdateNotified());
}

void TestApplication::fullScreenLeftWhenTheGridEmpties()
{
    GUI::MainWindow* window = App::Application::instance()->mainWindows().first();
    API::LocalServer local(QStringLiteral("Nowhere"), QStringLiteral("127.0.0.1"), 9, QString());
    auto camera = std::make_shared<API::Camera>(&local, QJsonObject{{QStringLiteral("id"), 7}});
    auto layout = std::make_shared<API::Layout>();
    layout->resize(1, 2);
    layout->addCamera(camera);
    QVERIFY(window->openLayout(layout));
    window->onFullscreen();
    QVERIFY(window->isFullScreen());

    // A refresh from the service empties and refills the cells: still full screen.
    layout->update(API::Layout(*layout));
    QCoreApplication::processEvents();
    QVERIFY(window->isFullScreen());

    // Closing the last camera leads back to the window and its controls.
    emit window->layoutWidget()->cameraClosed(API::LayoutCellPoint(0, 0));
    QTRY_VERIFY(!window->isFullScreen());
    QVERIFY(window->infoPanel()->isVisible());
    QVERIFY(window->sideBar()->isVisible());
    window->cancelEditLayout();
}

void TestApplication::exportSaysWhyItIsNotPossible()
{
    GUI::MainWindow* window = App::Application::instance()->mainWindows().first();
    auto* exportButton = window->controlPanel()->findChild<QPushButton*>(QStringLiteral("exportButton"));
    auto* messages = window->archiveControlPanel()->findChild<QStackedWidget*>(QStringLiteral("messageStack"));
    auto message = [messages] {
        auto* label = qobject_cast<QLabel*>(messages->currentWidget());
        return messages->isVisible() && label ? label->text() : QString();
    };
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    API::Server cloud(QJsonObject{{QStringLiteral("id"), QStringLiteral("s-cloud")}});
    window->setActiveCamera(std::make_shared<API::Camera>(&cloud, QJsonObject{{QStringLiteral("id"), 7}}));
    window->setExportMode();
    const QString cloudReason = QStringLiteral("Only recordings of cameras on local video servers can be exported");
    QVERIFY(!exportButton->isEnabled());
    QCOMPARE(exportButton->toolTip(), cloudReason);
    QCOMPARE(message(), cloudReason);

    API::LocalServer local(QStringLiteral("Nowhere"), QStringLiteral("127.0.0.1"), 9, QString());
    window->setActiveCamera(std::make_shared<API::Camera>(&local, QJsonObject{{QStringLiteral("id"), 5}}));
    QCOMPARE(exportButton->toolTip(), QStringLiteral("No recordings of this camera on this day"));
    QCOMPARE(message(), QStringLiteral("No recordings of this camera on this day"));
    window->setControlMode();
    window->setActiveCamera(nullptr);
    QVERIFY(!messages->isVisible());
}

void TestApplication::signOutClosesEveryWindowAndForgetsPassword()
{
    auto* app = App::Application::instance();
    app->createMainWindow();
    QCOMPARE(app->mainWindows().size(), 3);
    QList<QPointer<GUI::MainWindow>> windows;
    for (GUI::MainWindow* window : app->mainWindows())
        windows << window;
    App::Settings::instance().setValue(QStringLiteral("auth/password"), QStringLiteral("secret"));
    app->setUpdateNotified(true);

    emit windows.at(1)->signout();
    QVERIFY(app->mainWindows().isEmpty());
    QTRY_VERIFY(!windows.at(0) && !windows.at(1) && !windows.at(2));
    QVERIFY(visibleLoginDialog());
    QCOMPARE(App::Settings::instance().value(QStringLiteral("auth/password")).toString(), QString());
    QVERIFY(!app->isUpdateNotified());
    QVERIFY(!App::Roster::instance()->isLoggedIn());
    QVERIFY(!App::Layouts::instance()->isLoggedIn());
}

// The texts of the notifications a window shows now.
QStringList shownNotices(GUI::MainWindow* window)
{
    QStringList texts;
    for (GUI::PlayerNotification* notification : window->layoutWidget()->notifications()) {
        if (auto* label = notification->findChild<QLabel*>(QStringLiteral("messageLabel")))
            texts << label->text();
    }
    return texts;
}

void TestApplication::noticesWaitForAWindowAndShowOnce()
{
    auto* app = App::Application::instance();
    QVERIFY(app->mainWindows().isEmpty());
    // Found at start-up, before any window: kept for the first one.
    App::UserNotices::instance().post(QStringLiteral("Cannot write <here>"));
    app->loginSuccessful();
    GUI::MainWindow* first = app->mainWindows().first();
    QTRY_COMPARE(shownNotices(first), QStringList{QStringLiteral("Cannot write &lt;here&gt;")});
    QVERIFY(App::UserNotices::instance().pending().isEmpty());
    // Unlike a snapshot's note, it stays until the user closes it.
    GUI::PlayerNotification* shown = first->layoutWidget()->notifications().first();
    QSignalSpy closed(shown, &GUI::PlayerNotification::closed);
    QVERIFY(!closed.wait(GUI::PlayerNotification::displayTime + 1000));
    QVERIFY(shown->isVisible() && first->layoutWidget()->rect().contains(shown->geometry()));
    QTest::mouseClick(shown->findChild<QPushButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
    QVERIFY(closed.wait(5000));
    QTRY_VERIFY(shownNotices(first).isEmpty());

    // With two windows open, one of them shows it.
    emit first->clone();
    GUI::MainWindow* second = app->mainWindows().at(1);
    QTRY_VERIFY(second->isVisible());
    App::UserNotices::instance().post(QStringLiteral("Layouts not saved"));
    // Handed out as it is posted: both windows have had their turn already.
    QCOMPARE((shownNotices(first) + shownNotices(second)).filter(QStringLiteral("Layouts not saved")).size(), 1);
}

int main(int argc, char* argv[])
{
    // A scratch working folder and private user folders, as on a fresh machine.
    QTemporaryDir dir;
    scratch = &dir;
    QDir::setCurrent(dir.path());
    for (const char* folder : {"home", "cache", "config", "tmp"})
        QDir(dir.path()).mkdir(QLatin1String(folder));
    qputenv("HOME", QFile::encodeName(dir.filePath(QStringLiteral("home"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    qputenv("TMPDIR", QFile::encodeName(dir.filePath(QStringLiteral("tmp"))));
    qputenv("LANG", "ru_RU.UTF-8");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qunsetenv("LANGUAGE");

    App::Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
