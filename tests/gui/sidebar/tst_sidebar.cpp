#include "loopbackservice.h"
#include "api/cloudapiclient.h"
#include "core/settings.h"
#include "gui/sidebar/cameracard.h"
#include "gui/sidebar/layoutcard.h"
#include "gui/sidebar/sidebar.h"
#include "gui/sidebar/sidebarlayouts.h"
#include "gui/sidebar/sidebarroster.h"
#include "gui/sidebar/sidebarserver.h"
#include "gui/sidebar/sidebarsettings.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "model/previewcache.h"
#include "model/server.h"
#include "resources/resources.h"
#include "stores/layouts.h"
#include "stores/roster.h"
#include "core/storagepaths.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QBuffer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::GUI;
using Response = HttpTestServer::Response;

namespace {

QJsonObject camera(int id, const QString& name, bool online)
{
    return {{"id", id}, {"name", name}, {"online", online}};
}

API::ServerPtr addServer(const QString& id, const QString& name, bool online, const QJsonArray& cameras)
{
    auto server = std::make_shared<API::Server>(
        QJsonObject{{"id", id}, {"name", name}, {"online", online}, {"cameras", cameras}});
    App::Roster::instance()->add(server);
    return App::Roster::instance()->item(id);
}

API::LayoutPtr addLayout(const QString& id, const QString& name)
{
    App::Layouts::instance()->add(
        std::make_shared<API::Layout>(QJsonObject{{"id", id}, {"name", name}, {"rows", 1}, {"columns", 1}},
                                      API::ServerLookup()));
    return App::Layouts::instance()->item(id);
}

QStringList titles(const QList<CameraCard*>& cards)
{
    QStringList list;
    for (const CameraCard* card : cards)
        list << card->title();
    return list;
}

} // namespace

class TestSideBar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void searchFiltersSectionsCardsAndLayouts();
    void listsSortOnlineFirstThenByName();
    void emptyRosterShowsLoadingThenMessage();
    void deletingLayoutFromItsMenuAsksFirst();
    void unreachableLocalServerSection();
    void thousandsOfCamerasFetchPreviewsOnlyInView();
    void updateCheckComparesReleaseParts();
    void settingsAccountFollowsTheStart();

private:
    LoopbackService m_service; // also the scratch working folder of the settings file
    QByteArray m_offered;
    QStringList m_previewsAsked; // "server_camera", in order
};

void TestSideBar::initTestCase()
{
    QCoreApplication::setApplicationVersion(QStringLiteral("6.1.3.304"));
    // Every settings page asks for updates; without an offered version the check fails.
    m_service.server.setHandler([this](const HttpTestServer::Request& request) {
        if (request.path.endsWith("preview/live")) {
            m_previewsAsked << request.queryValue("server") + '_' + request.queryValue("camera");
            QImage picture(640, 480, QImage::Format_RGB32);
            picture.fill(Qt::darkGreen);
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "JPEG");
            return Response::raw(200, jpeg, "image/jpeg");
        }
        if (request.path.endsWith("/public/sessions"))
            return Response::json(200, R"({"success":true,"response":{"session_id":"S-1"}})");
        if (m_offered.isEmpty())
            return Response::json(500, "{}");
        return Response::json(200, R"({"success":true,"response":{"version":")" + m_offered + R"("}})");
    });
}

void TestSideBar::cleanup()
{
    App::Roster::instance()->removeAll();
    App::Layouts::instance()->removeAll();
}

void TestSideBar::searchFiltersSectionsCardsAndLayouts()
{
    const API::ServerPtr office =
        addServer("s-office", "Office", true, {camera(1, "Cam 1", true), camera(2, "Door", true)});
    const API::ServerPtr store = addServer("s-store", "Warehouse", true, {camera(1, "Gate", true)});
    addLayout("l-front", "Front");
    addLayout("l-yard", "Back yard");
    SideBar bar;
    SideBarServer* officeSection = bar.roster()->section(office);
    SideBarServer* storeSection = bar.roster()->section(store);
    QVERIFY(officeSection && storeSection);
    officeSection->collapse();
    auto* search = bar.findChild<QLineEdit*>("searchEdit");

    search->setText("cam");
    QVERIFY(!officeSection->isHidden());
    QVERIFY(officeSection->isExpanded());
    QStringList shown;
    for (const CameraCard* card : officeSection->cards()) {
        if (!card->isHidden())
            shown << card->title();
    }
    QCOMPARE(shown, QStringList{"Cam 1"});
    QVERIFY(storeSection->isHidden());
    search->setText("came"); // a second text in the same search keeps the first saved state
    search->clear();
    QVERIFY(!officeSection->isExpanded());
    QVERIFY(!storeSection->isHidden());
    for (const CameraCard* card : officeSection->cards())
        QVERIFY(!card->isHidden());

    // The server's own name matches, none of its cameras does: it shows them all.
    storeSection->collapse();
    search->setText("WARE");
    QVERIFY(!storeSection->isHidden());
    QVERIFY(storeSection->isExpanded());
    QVERIFY(!storeSection->cards().first()->isHidden());
    QVERIFY(officeSection->isHidden());
    search->setText("WAREHOUSE X"); // nothing at all
    QCOMPARE(bar.roster()->page(), CardHolder::MessagePage);
    QCOMPARE(bar.roster()->message(), QStringLiteral("Nothing found"));
    search->clear();
    QCOMPARE(bar.roster()->page(), CardHolder::CardsPage);
    QVERIFY(!storeSection->isExpanded());

    search->setText("yard");
    QStringList layouts;
    for (const LayoutCard* card : bar.layouts()->layoutCards()) {
        if (!card->isHidden())
            layouts << card->title();
    }
    QCOMPARE(layouts, QStringList{"Back yard"});
    search->setText("yards");
    QCOMPARE(bar.layouts()->message(), QStringLiteral("Nothing found"));
    QCOMPARE(bar.layouts()->page(), CardHolder::MessagePage);

    // A re-sort while searching keeps the filter.
    search->setText("door");
    emit App::Roster::instance()->rosterUpdatingFinished();
    QVERIFY(storeSection->isHidden());
    QCOMPARE(officeSection->cards().size(), 2);
    QVERIFY(officeSection->cards().first()->isHidden()); // "Cam 1"
}

void TestSideBar::listsSortOnlineFirstThenByName()
{
    addServer("s-1", "delta", true, {});
    addServer("s-2", "Bravo", false, {});
    const API::ServerPtr charlie = addServer(
        "s-3", "charlie", true, {camera(1, "b cam", true), camera(2, "A cam", false), camera(3, "C cam", true)});
    addLayout("l-1", "beta");
    addLayout("l-2", "Alpha");
    SideBarRoster roster;
    SideBarLayouts layouts;
    roster.setAddToLayoutEnabled(false);

    const auto names = [&roster] {
        QStringList list;
        for (const SideBarServer* section : roster.sections())
            list << section->name();
        return list;
    };
    QCOMPARE(names(), (QStringList{"charlie", "delta", "Bravo"}));
    QCOMPARE(titles(roster.section(charlie)->cards()), (QStringList{"b cam", "C cam", "A cam (Offline, plan not paid for)"}));
    QVERIFY(roster.sections().last()->findChild<QLabel*>("offlineIcon")->isVisibleTo(roster.sections().last()));
    QVERIFY(roster.sections().first()->findChild<QToolButton*>("serverMenuButton")->isHidden());

    // A server added later takes its place and the switch applies to it too.
    const API::ServerPtr added = addServer("s-4", "Echo", true, {camera(1, "x", true)});
    QCOMPARE(names(), (QStringList{"charlie", "delta", "Echo", "Bravo"}));
    const CameraCard* card = roster.section(added)->cards().first();
    QVERIFY(!card->menu()->findChild<QAction*>("addToLayoutAction")->isEnabled());

    QStringList layoutTitles;
    for (const LayoutCard* layout : layouts.layoutCards())
        layoutTitles << layout->title();
    QCOMPARE(layoutTitles, (QStringList{"Alpha", "beta"}));
}

void TestSideBar::emptyRosterShowsLoadingThenMessage()
{
    App::Roster* store = App::Roster::instance();
    SideBarRoster roster;
    emit store->rosterUpdatingStarted();
    QVERIFY(roster.isLoading());
    emit store->rosterUpdatingFinished();
    QCOMPARE(roster.page(), CardHolder::MessagePage);
    QCOMPARE(roster.message(), QStringLiteral("No servers added"));
    emit store->rosterUpdatingStarted();
    emit store->rosterUpdatingError();
    QCOMPARE(roster.message(), QStringLiteral("Server update error"));

    // A failed update does not hide what the list already has.
    const API::ServerPtr server = addServer("s-1", "Lobby", true, {});
    QCOMPARE(roster.page(), CardHolder::CardsPage);
    QCOMPARE(roster.section(server)->holder()->message(), QStringLiteral("No cameras attached"));
    emit store->rosterUpdatingError();
    QCOMPARE(roster.page(), CardHolder::CardsPage);
    store->remove(server);
    QCOMPARE(roster.message(), QStringLiteral("No servers added"));
}

void TestSideBar::deletingLayoutFromItsMenuAsksFirst()
{
    const API::LayoutPtr front = addLayout("l-front", "Front");
    addLayout("l-back", "Back");
    SideBarLayouts layouts;
    LayoutCard* card = layouts.card(front);
    QVERIFY(card);
    QSignalSpy opened(&layouts, &SideBarLayouts::openLayout);
    card->menu()->findChild<QAction*>("openLayoutAction")->trigger();
    QCOMPARE(opened.count(), 1);

    // Asked first (the main window's tests answer no as well), then gone.
    QSignalSpy deleted(App::Layouts::instance(), &App::Layouts::layoutDeleted);
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    card->menu()->findChild<QAction*>("deleteLayoutAction")->trigger();
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!front->exists());
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(layouts.layoutCards().size(), 1);
    QTRY_COMPARE(layouts.findChildren<LayoutCard*>().size(), 1); // released once its menu is done
}

void TestSideBar::unreachableLocalServerSection()
{
    auto local = std::make_shared<API::LocalServer>("Home", "127.0.0.1", m_service.server.port(), "secret");
    local->setExists(true); // asks the server for its streams; the test server refuses
    App::Roster::instance()->add(local);
    SideBarRoster roster;
    SideBarServer* section = roster.section(local);
    QVERIFY(section->holder()->isLoading());
    QTRY_COMPARE_WITH_TIMEOUT(section->holder()->message(), QStringLiteral("Server \"Home\" is offline"), 20000);
    QVERIFY(!section->findChild<QToolButton*>("serverMenuButton")->isHidden());

    // A long name is cut with an ellipsis, in the header and in the message.
    const QString longName(300, QLatin1Char('W'));
    auto unnamed = std::make_shared<API::LocalServer>(longName, "localhost", m_service.server.port(), "secret");
    unnamed->setExists(true);
    App::Roster::instance()->add(unnamed);
    SideBarServer* longSection = roster.section(unnamed);
    roster.resize(280, 600);
    roster.show();
    QVERIFY(QTest::qWaitForWindowExposed(&roster));
    QTRY_VERIFY_WITH_TIMEOUT(longSection->holder()->message().startsWith("Server \""), 20000);
    QVERIFY(longSection->holder()->message().contains(QChar(0x2026)));
    QVERIFY(longSection->holder()->message().size() < 80);
    auto* header = longSection->findChild<QLabel*>("serverName");
    QTRY_VERIFY(header->text().endsWith(QChar(0x2026)));
    QVERIFY(header->fontMetrics().horizontalAdvance(header->text()) <= header->width());
    QCOMPARE(header->toolTip(), longName);
    App::Roster::instance()->remove(unnamed);

    QSignalSpy edit(&roster, &SideBarRoster::editLocalServer);
    section->menu()->findChild<QAction*>("editServerAction")->trigger();
    QCOMPARE(edit.count(), 1);
    // Deleting asks first; cancelling keeps the server.
    const auto answer = [](QMessageBox::StandardButton button, QString* text) {
        QTimer::singleShot(0, [button, text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            *text = box->text();
            box->button(button)->click();
        });
    };
    QString question;
    answer(QMessageBox::Cancel, &question);
    section->menu()->findChild<QAction*>("deleteServerAction")->trigger();
    QCOMPARE(question, QStringLiteral("Delete the local video server \"Home\"?"));
    QVERIFY(local->exists());
    QCOMPARE(roster.sections().size(), 1);
    answer(QMessageBox::Yes, &question);
    section->menu()->findChild<QAction*>("deleteServerAction")->trigger();
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!local->exists());
    QVERIFY(roster.sections().isEmpty());
    QCOMPARE(roster.message(), QStringLiteral("No servers added"));
}

void TestSideBar::thousandsOfCamerasFetchPreviewsOnlyInView()
{
    qputenv("XDG_CACHE_HOME", m_service.dir.filePath("cache").toUtf8());
    QVERIFY(QDir().mkpath(App::StoragePaths::cacheDir()));
    API::PreviewCache& cache = API::PreviewCache::instance();
    cache.setMemoryLimit(1);
    const auto paid = [](int id, const QString& name) {
        QJsonObject json = camera(id, name, true);
        json.insert("services", QJsonObject{{"enabled", QJsonObject{{"active", true}}}});
        return json;
    };
    QJsonArray first, second;
    for (int i = 1; i <= 1000; ++i) {
        first.append(paid(i, QString("Cam %1").arg(i, 4, 10, QLatin1Char('0'))));
        second.append(paid(i, QString("Cam %1").arg(1000 + i)));
    }
    const API::ServerPtr alpha = addServer("s-a", "Alpha", true, first);
    const API::ServerPtr beta = addServer("s-b", "Beta", true, second);
    m_previewsAsked.clear();
    SideBar bar;
    bar.resize(320, 700);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    SideBarServer* alphaSection = bar.roster()->section(alpha);
    SideBarServer* betaSection = bar.roster()->section(beta);
    QTRY_VERIFY_WITH_TIMEOUT(!alphaSection->isMakingCards() && !betaSection->isMakingCards(), 60000);
    QCOMPARE(alphaSection->cards().size() + betaSection->cards().size(), 2000);
    QCOMPARE(alphaSection->cards().at(999)->title(), QStringLiteral("Cam 1000"));

    // What the viewport shows, from the widgets' geometry alone.
    const auto inView = [&] {
        QStringList keys;
        for (SideBarServer* section : {alphaSection, betaSection}) {
            for (const CameraCard* card : section->cards()) {
                if (!card->visibleRegion().isEmpty())
                    keys << card->camera()->server()->id() + '_' + QString::number(card->camera()->id());
            }
        }
        return keys;
    };
    const auto asked = [this] {
        QStringList keys = m_previewsAsked;
        keys.sort();
        keys.removeDuplicates();
        return keys;
    };
    // Every card in view asks for its picture, and hardly any other: one at
    // the edge may have been in view while the header took its final height.
    const auto askedAll = [&](const QStringList& keys) {
        const QStringList now = asked();
        for (const QString& key : keys) {
            if (!now.contains(key))
                return false;
        }
        return true;
    };
    // The last batches of cards are laid out in the turns after they were
    // made, and the view settles with them.
    QTRY_VERIFY_WITH_TIMEOUT(!inView().isEmpty() && askedAll(inView()), 10000);
    const QStringList shown = inView();
    QVERIFY2(shown.size() < 10, qPrintable(shown.join(' ')));
    QVERIFY2(asked().size() <= shown.size() + 1, qPrintable(asked().join(' ')));

    // Scrolling far asks for the cards that came into view, and the cards
    // left behind stop their cameras' refreshing.
    auto* area = qobject_cast<QScrollArea*>(bar.roster()->parentWidget()->parentWidget());
    QVERIFY(area);
    const int before = asked().size();
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum() * 3 / 4);
    // A card at the edge can leave the view while the scroll settles (seen
    // on a loaded machine), so what counts is what is in view once it has.
    QTRY_VERIFY_WITH_TIMEOUT(!inView().isEmpty() && askedAll(inView()), 10000);
    const QStringList later = inView();
    QVERIFY(later.size() < 10);
    for (const QString& key : later)
        QVERIFY2(key.startsWith("s-b_") && !shown.contains(key), qPrintable(key));
    QVERIFY2(asked().size() <= before + later.size() + 1, qPrintable(asked().join(' ')));
    QTRY_VERIFY_WITH_TIMEOUT(!alpha->item(1)->isActive(), 10000);
    QCOMPARE(alpha->item(1)->watchers(), 0);

    // Of the pictures no card shows, at most the limit stay in memory, the
    // oldest going first; their files stay, at card size, down to the file
    // limit, the newest kept.
    QTRY_VERIFY_WITH_TIMEOUT(cache.held() <= later.size() + 1, 10000);
    QVERIFY(alpha->item(1)->preview().isNull());
    QCOMPARE(QImage(alpha->item(1)->cacheFileName()).size(), QSize(320, 240));
    cache.setFileLimit(later.size());
    cache.pruneFiles(App::StoragePaths::cacheDir());
    QDir folder(App::StoragePaths::cacheDir(), "*.jpeg");
    QCOMPARE(int(folder.count()), later.size());
    QVERIFY(!QFileInfo::exists(alpha->item(1)->cacheFileName()));
    cache.setFileLimit(1000);
    cache.setMemoryLimit(64);
}

void TestSideBar::updateCheckComparesReleaseParts()
{
    QVERIFY(SideBarSettings::isNewerVersion("6.1.10-beta", "6.1.3.304"));
    QVERIFY(!SideBarSettings::isNewerVersion("6.1.3", "6.1.3.304"));
    QVERIFY(!SideBarSettings::isNewerVersion("6.1.2.999", "6.1.3.304"));
    QVERIFY(SideBarSettings::isNewerVersion("7", "6.1.3.304"));
    QVERIFY(!SideBarSettings::isNewerVersion("6.x.9", "6.1.3")); // not a number counts as 0
    QVERIFY(!SideBarSettings::isNewerVersion("", "6.1.3.304"));

    m_offered = "6.1.10-beta";
    SideBarSettings settings;
    QSignalSpy found(&settings, &SideBarSettings::updatesFound);
    QTRY_COMPARE_WITH_TIMEOUT(settings.updatePage(), SideBarSettings::NewVersionPage, 20000);
    QCOMPARE(found.count(), 1);
    QCOMPARE(found.first().first().toString(), QStringLiteral("6.1.10-beta"));
    QVERIFY(m_service.server.requests().last().path.endsWith("/public/version/client_windows"));

    m_offered = "6.1.3";
    settings.checkForUpdates();
    QCOMPARE(settings.updatePage(), SideBarSettings::CheckingPage);
    QTRY_COMPARE_WITH_TIMEOUT(settings.updatePage(), SideBarSettings::LatestPage, 20000);
    QCOMPARE(found.count(), 1);

    m_offered.clear();
    settings.checkForUpdates();
    QTRY_COMPARE_WITH_TIMEOUT(settings.updatePage(), SideBarSettings::UnavailablePage, 20000);
}

void TestSideBar::settingsAccountFollowsTheStart()
{
    App::Settings::instance().setValue("auth/email", "me@home.lan");
    QVERIFY(API::CloudAPIClient::sessionId().isEmpty()); // a local start has no session
    SideBarSettings settings;
    settings.show();
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    auto* email = settings.findChild<QLabel*>("emailLabel");
    auto* signout = settings.findChild<QPushButton*>("signoutButton");
    auto* localNote = settings.findChild<QLabel*>("localModeNote");
    auto* cloudSignIn = settings.findChild<QPushButton*>("cloudSignInButton");
    QVERIFY(!email->isVisible() && !signout->isVisible());
    QVERIFY(localNote->isVisible() && cloudSignIn->isVisible());
    QSignalSpy signIn(&settings, &SideBarSettings::cloudSignInClicked);
    QTest::mouseClick(cloudSignIn, Qt::LeftButton);
    QCOMPARE(signIn.count(), 1);

    // Signed in to the cloud: the account and the way out of it.
    API::CloudAPIClient client;
    QSignalSpy signedIn(&client, &API::CloudAPIClient::loginSuccess);
    client.tryLogin("me@home.lan", "pw");
    QVERIFY(signedIn.wait(20000));
    settings.hide();
    settings.show();
    QVERIFY(email->isVisible() && signout->isVisible());
    QCOMPARE(email->text(), QStringLiteral("me@home.lan"));
    QVERIFY(!localNote->isVisible() && !cloudSignIn->isVisible());
    API::CloudAPIClient().logout();
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerResources();
    TestSideBar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sidebar.moc"
