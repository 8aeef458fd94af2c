// The main window's keyboard: keys typed into a text field stay there, the
// shortcuts reach the grid and the panels, and the help lists them all. And
// what a cell offers besides the keys: its menu, its camera's name kept in
// view; and what the window asks before cameras or a layout are lost.
#include "core/settings.h"
#include "gui/grid/layoutwidget.h"
#include "gui/keys/keyboardshortcuts.h"
#include "gui/keys/shortcutsdialog.h"
#include "gui/mainwindow/mainwindow.h"
#include "gui/panels/qualitymenu.h"
#include "gui/panels/archivecontrolpanel.h"
#include "gui/panels/controlpanel.h"
#include "gui/panels/gridsizeeditor.h"
#include "gui/panels/infopanel.h"
#include "gui/player/healthoverlay.h"
#include "gui/player/videowidget.h"
#include "gui/sidebar/layoutcard.h"
#include "gui/sidebar/sidebar.h"
#include "gui/sidebar/sidebarsettings.h"
#include "gui/sidebar/sidebarlayouts.h"
#include "gui/timeline/timeline.h"
#include "gui/widgets/playernotification.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "stores/layouts.h"
#include "stores/roster.h"

#include <QCheckBox>
#include <QAction>
#include <QDateEdit>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace OrvantaClient;
using GUI::KeyboardShortcuts;
using GUI::Player::VideoWidget;

namespace {

// A stored layout of the account, as the Layouts page lists it.
API::LayoutPtr storedLayout(const QString& name, const QList<API::CameraPtr>& cameras, int rows, int columns)
{
    auto layout = std::make_shared<API::Layout>();
    layout->setName(name);
    layout->resize(rows, columns);
    for (const API::CameraPtr& camera : cameras)
        layout->addCamera(camera);
    layout->setExists(true);
    App::Layouts::instance()->add(layout);
    return App::Layouts::instance()->item(layout->id());
}

// Whether the player fills the grid (maximised) rather than a quarter of it.
bool fillsGrid(const GUI::LayoutWidget* grid, const VideoWidget* player)
{
    return player->isVisible() && player->width() > grid->width() * 9 / 10
        && player->height() > grid->height() * 9 / 10;
}

QStringList notificationTexts(const GUI::LayoutWidget* grid)
{
    QStringList texts;
    for (GUI::PlayerNotification* note : grid->notifications()) {
        for (QLabel* label : note->findChildren<QLabel*>())
            texts << label->text();
    }
    return texts;
}

// The cameras the grid shows, as the user sees them.
QStringList shownCameras(const GUI::LayoutWidget* grid)
{
    QStringList names;
    for (const VideoWidget* player : grid->findChildren<VideoWidget*>()) {
        if (player->isVisible() && player->camera())
            names << player->camera()->name();
    }
    names.sort();
    return names;
}

// Answers every question box with one button and keeps its words: a question
// that should not have come is seen, not waited on for ever.
struct Answers
{
    explicit Answers(QMessageBox::StandardButton button)
    {
        timer.callOnTimeout([this, button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked << QString(box->text() + ' ' + box->informativeText()).trimmed();
                box->button(button) ? box->button(button)->click() : box->reject();
            }
        });
        timer.start(20);
    }
    QStringList asked;
    QTimer timer;
};

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void textFieldsKeepTheirKeys();
    void keysReachTheGridAndThePanels();
    void helpListsEveryShortcut();
    void cellMenuActsOnItsCell();
    void cameraNamesStayInViewWhenAsked();
    void newLayoutNameTakesTheKeys();
    void losingCamerasOrALayoutAsksFirst();

private:
    // What no key typed into a text field may have done.
    void verifyNothingFired();

    QTemporaryDir m_dir;
    std::shared_ptr<API::LocalServer> m_server;
    API::LayoutPtr m_four;
    API::LayoutPtr m_two;
    std::unique_ptr<GUI::MainWindow> m_window;
};

void TestKeyboard::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path()));
    App::Settings::instance().setValue("common/exportPath", m_dir.filePath("exports"));
    // Nothing listens there, and no worker is beside the test: the cells stay without a picture.
    m_server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", 9, "pw");
    QJsonArray cameras;
    for (int id = 1; id <= 4; ++id)
        cameras.append(QJsonObject{{"id", id}, {"name", QString("Cam %1").arg(id)}, {"online", true}});
    m_server->updateCameras(cameras);
    m_server->setExists(true);
    App::Roster::instance()->add(m_server);
    m_four = storedLayout("Beta", {m_server->item(1), m_server->item(2), m_server->item(3), m_server->item(4)}, 2, 2);
    m_two = storedLayout("alpha", {m_server->item(3), m_server->item(4)}, 1, 2);
}

void TestKeyboard::init()
{
    m_window = std::make_unique<GUI::MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QVERIFY(m_window->openLayout(m_four));
    m_window->setActiveCamera(m_server->item(1));
}

void TestKeyboard::cleanup()
{
    if (m_window && m_window->isEditing())
        m_window->cancelEditLayout();
    m_window.reset();
}

void TestKeyboard::verifyNothingFired()
{
    GUI::MainWindow* w = m_window.get();
    QVERIFY(!w->layoutWidget()->isMaximized());
    QVERIFY(!w->isExportMode());
    QVERIFY(!w->isFullScreen());
    QVERIFY(!w->isStreamHealthShown());
    QVERIFY(!w->layoutWidget()->isPaused());
    QVERIFY(!w->findChild<GUI::ShortcutsDialog*>());
    QCOMPARE(w->currentLayout()->name(), QStringLiteral("Beta"));
    QVERIFY(notificationTexts(w->layoutWidget()).isEmpty());
}

void TestKeyboard::textFieldsKeepTheirKeys()
{
    GUI::MainWindow* w = m_window.get();
    // Typed after "x": letters and digits that are shortcuts, then keys no field types.
    const auto typeInto = [](QWidget* field) {
        field->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QTest::keyClicks(field, QStringLiteral("xlR2 t"));
        const QList<QPair<int, Qt::KeyboardModifiers>> shortcuts{
            {Qt::Key_S, Qt::ControlModifier}, {Qt::Key_E, Qt::ControlModifier}, {Qt::Key_I, Qt::ControlModifier},
            {Qt::Key_Tab, Qt::ControlModifier}, {Qt::Key_F11, Qt::NoModifier}, {Qt::Key_F1, Qt::NoModifier}};
        for (const auto& [key, modifiers] : shortcuts)
            QTest::keyClick(field, Qt::Key(key), modifiers);
        QCOMPARE(QApplication::focusWidget(), field);
    };

    // The search field of the side bar, and the name of a layout being edited.
    auto* search = w->sideBar()->findChild<QLineEdit*>(QStringLiteral("searchEdit"));
    QVERIFY(search && search->isVisible());
    // Its clear button fades with an animation of Qt's own that leaks when the
    // field goes before it ends; it has nothing to do with the keys.
    search->setClearButtonEnabled(false);
    typeInto(search);
    QCOMPARE(search->text(), QStringLiteral("xlR2 t"));
    QVERIFY(w->archiveControlPanel()->isHidden());
    verifyNothingFired();
    search->clear();
    w->editLayout();
    auto* name = w->infoPanel()->findChild<QLineEdit*>(QStringLiteral("layoutNameEdit"));
    QVERIFY(name && name->isVisible());
    name->clear();
    typeInto(name);
    QCOMPARE(name->text(), QStringLiteral("xlR2 t"));
    QVERIFY(w->archiveControlPanel()->isHidden());
    w->cancelEditLayout();
    verifyNothingFired();

    // The day of the recordings: a date field keeps its keys too, and "R" and
    // "L" there leave the recordings shown.
    w->showArchivePanels();
    auto* day = w->archiveControlPanel()->findChild<QDateEdit*>(QStringLiteral("dateEdit"));
    QVERIFY(day && day->isVisible());
    typeInto(day);
    QVERIFY(!w->archiveControlPanel()->isHidden());
    verifyNothingFired();

    // A click into the grid takes the focus, and the same keys act again.
    QTest::mouseClick(w->layoutWidget()->playersInOrder().first(), Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), w->layoutWidget());
    QTest::keyClick(w->layoutWidget(), Qt::Key_R);
    QVERIFY(w->archiveControlPanel()->isHidden());
}

void TestKeyboard::keysReachTheGridAndThePanels()
{
    GUI::MainWindow* w = m_window.get();
    GUI::LayoutWidget* grid = w->layoutWidget();
    const QList<VideoWidget*> cells = grid->playersInOrder();
    QCOMPARE(cells.size(), 4);
    QTest::mouseClick(cells.first(), Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), grid);
    const auto press = [grid](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(grid, Qt::Key(key), modifiers);
    };

    // Recordings and back to live.
    press(Qt::Key_R);
    QTRY_VERIFY(w->archiveControlPanel()->isVisible() && w->timeline()->isVisible());
    press(Qt::Key_L);
    QTRY_VERIFY(!w->archiveControlPanel()->isVisible());
    press(Qt::Key_L); // live already: nothing to do
    QVERIFY(!w->archiveControlPanel()->isVisible());

    // A digit maximises its cell, counted in reading order; the same digit or Escape returns.
    press(Qt::Key_2);
    QTRY_VERIFY(fillsGrid(grid, cells.at(1)));
    QVERIFY(!cells.at(0)->isVisible() && !cells.at(3)->isVisible());
    press(Qt::Key_4);
    QTRY_VERIFY(fillsGrid(grid, cells.at(3)));
    QVERIFY(!cells.at(1)->isVisible());
    press(Qt::Key_4);
    QTRY_VERIFY(cells.at(0)->isVisible() && cells.at(3)->isVisible());
    QVERIFY(!fillsGrid(grid, cells.at(3)));
    press(Qt::Key_3);
    QTRY_VERIFY(fillsGrid(grid, cells.at(2)));
    press(Qt::Key_Escape);
    QTRY_VERIFY(cells.at(0)->isVisible() && !fillsGrid(grid, cells.at(2)));
    press(Qt::Key_9); // no ninth cell
    QVERIFY(!grid->isMaximized());

    // Full screen, then Escape: a maximised cell returns first, then the window.
    press(Qt::Key_F11);
    QTRY_VERIFY(w->isFullScreen());
    auto* fullScreen = w->controlPanel()->findChild<QPushButton*>(QStringLiteral("fullscreenButton"));
    QCOMPARE(fullScreen->toolTip(), QStringLiteral("Leave full screen (F11)"));
    press(Qt::Key_1);
    QTRY_VERIFY(fillsGrid(grid, cells.at(0)));
    press(Qt::Key_Escape);
    QTRY_VERIFY(!grid->isMaximized());
    QVERIFY(w->isFullScreen());
    press(Qt::Key_Escape);
    QTRY_VERIFY(!w->isFullScreen());
    QVERIFY(w->sideBar()->isVisible());

    // Pause and play, as the panel's button shows.
    auto* play = w->controlPanel()->findChild<QPushButton*>(QStringLiteral("playButton"));
    press(Qt::Key_Space);
    QTRY_VERIFY(play->isVisible());
    press(Qt::Key_Space);
    QTRY_VERIFY(!play->isVisible());

    // A snapshot of the active cell, which has no picture yet: the user is told.
    press(Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(notificationTexts(grid).contains(QStringLiteral("An error occurred while saving the snapshot")));

    // The stream health over every cell, and its button in step.
    auto* healthButton = w->controlPanel()->findChild<QPushButton*>(QStringLiteral("streamHealthButton"));
    press(Qt::Key_I, Qt::ControlModifier);
    for (VideoWidget* cell : cells) {
        QVERIFY(cell->healthOverlay() && cell->healthOverlay()->isVisible());
        QVERIFY(cell->healthOverlay()->text().contains(QStringLiteral("Quality: Auto (")));
    }
    QVERIFY(healthButton->isChecked());
    healthButton->click();
    for (VideoWidget* cell : cells)
        QVERIFY(!cell->healthOverlay());

    // Tab walks the bar from left to right, and Space presses the button it
    // reached instead of pausing.
    w->controlPanel()->findChild<QPushButton*>(QStringLiteral("showRecordsButton"))->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"pauseButton", "soundButton", "streamHealthButton"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(w->isStreamHealthShown() && !grid->isPaused());
    w->setStreamHealthShown(false);
    grid->setFocus();

    // Export mode in and out.
    press(Qt::Key_E, Qt::ControlModifier);
    QVERIFY(w->isExportMode());
    QTRY_VERIFY(w->timeline()->isVisible());
    press(Qt::Key_E, Qt::ControlModifier);
    QVERIFY(!w->isExportMode());

    // The stored layouts in the order of the Layouts page, round and back.
    press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w->currentLayout(), m_two);
    press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w->currentLayout(), m_four);
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w->currentLayout(), m_two);
    QCOMPARE(grid->playersInOrder().size(), 2);
}

void TestKeyboard::helpListsEveryShortcut()
{
    GUI::MainWindow* w = m_window.get();
    QTest::mouseClick(w->layoutWidget()->playersInOrder().first(), Qt::LeftButton);
    QTest::keyClick(w->layoutWidget(), Qt::Key_F1);
    GUI::ShortcutsDialog* help = nullptr;
    QTRY_VERIFY((help = w->findChild<GUI::ShortcutsDialog*>()) && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Keyboard shortcuts"));
    auto* table = help->findChild<QTableWidget*>();
    const QList<KeyboardShortcuts::Shortcut> shortcuts = KeyboardShortcuts::table();
    QCOMPARE(table->rowCount(), shortcuts.size());
    QSet<QString> keys, descriptions;
    for (int row = 0; row < table->rowCount(); ++row) {
        keys << table->item(row, 0)->text();
        descriptions << table->item(row, 1)->text();
        QVERIFY2(!table->item(row, 0)->text().isEmpty() && !table->item(row, 1)->text().isEmpty(),
                 qPrintable(QString::number(row)));
    }
    // Each row its own keys and its own words.
    QCOMPARE(keys.size(), shortcuts.size());
    QCOMPARE(descriptions.size(), shortcuts.size());
    QVERIFY(keys.contains(QStringLiteral("1 … 9")));
    // F1 again brings the same help forward.
    QTest::keyClick(w->layoutWidget(), Qt::Key_F1);
    QCOMPARE(w->findChildren<GUI::ShortcutsDialog*>().size(), 1);
    help->close();

    // The buttons say which key does what they do.
    auto* live = w->controlPanel()->findChild<QPushButton*>(QStringLiteral("liveButton"));
    QCOMPARE(live->toolTip(), QStringLiteral("Start live feed (L)"));
    auto* fullScreen = w->controlPanel()->findChild<QPushButton*>(QStringLiteral("fullscreenButton"));
    QCOMPARE(fullScreen->toolTip(), QStringLiteral("Full screen (F11)"));
    auto* speed = w->controlPanel()->findChild<QPushButton*>(QStringLiteral("speedButton"));
    QCOMPARE(speed->toolTip(), QStringLiteral("Playback speed ([, ])"));
}

void TestKeyboard::cellMenuActsOnItsCell()
{
    GUI::MainWindow* w = m_window.get();
    GUI::LayoutWidget* grid = w->layoutWidget();
    const QList<VideoWidget*> cells = grid->playersInOrder();
    VideoWidget* cell = cells.at(1);
    QMenu* menu = cell->menu();
    const auto open = [menu] {
        menu->popup(QPoint(10, 10));
        QTRY_VERIFY(menu->isVisible());
    };
    const auto entry = [menu](const char* name) { return menu->findChild<QAction*>(QLatin1String(name)); };
    open();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{"Snapshot", "Maximise\t2", "Recordings of this camera", "Open in new window", "Quality",
                                 "", "Settings", "Close"}));
    QVERIFY(!entry("snapshotAction")->isEnabled()); // no picture yet
    menu->hide();

    // Maximise fills the grid with this cell; the entry then brings it back.
    entry("maximiseAction")->trigger();
    QTRY_VERIFY(fillsGrid(grid, cell));
    open();
    QCOMPARE(entry("maximiseAction")->text(), QStringLiteral("Return to the grid\t2"));
    menu->hide();
    entry("maximiseAction")->trigger();
    QTRY_VERIFY(!grid->isMaximized() && cells.at(0)->isVisible());

    // The cell's own quality: this cell only, shown checked next time, until
    // the control bar's quality is chosen for every cell.
    auto* quality = menu->findChild<GUI::QualityMenu*>();
    quality->entryAction(GUI::QualityMenu::High)->trigger();
    QCOMPARE(cell->quality(), 2);
    QCOMPARE(grid->cellQuality(cell), 2);
    QCOMPARE(grid->cellQuality(cells.at(0)), int(GUI::LayoutWidget::autoQuality));
    QTest::qWait(700); // past the grid's own choice by cell size, which leaves the cell alone
    QCOMPARE(cell->quality(), 2);
    open();
    QVERIFY(quality->entryButton(GUI::QualityMenu::High)->isChecked());
    menu->hide();
    w->setLowQuality();
    QCOMPARE(cell->quality(), 0);
    QCOMPARE(grid->cellQuality(cell), 0);

    // The camera's recordings: it becomes the active camera, the timeline shows.
    QVERIFY(w->archiveControlPanel()->isHidden());
    entry("recordingsAction")->trigger();
    QCOMPARE(w->activeCamera(), cell->camera());
    QVERIFY(w->archiveControlPanel()->isVisible() && w->timeline()->isVisible());
    QSignalSpy windows(w, qOverload<API::CameraPtr>(&GUI::MainWindow::openInNewWindow));
    entry("newWindowAction")->trigger();
    QCOMPARE(windows.count(), 1);
    QCOMPARE(windows.first().first().value<API::CameraPtr>(), cell->camera());
}

void TestKeyboard::cameraNamesStayInViewWhenAsked()
{
    GUI::MainWindow* w = m_window.get();
    const QList<VideoWidget*> cells = w->layoutWidget()->playersInOrder();
    // The name is on the cell's top bar, with its close button.
    const auto nameShown = [](VideoWidget* cell) {
        const QWidget* bar = cell->findChild<QPushButton*>(QStringLiteral("closeButton"))->parentWidget();
        return bar->isVisible() && bar->geometry().top() == 0;
    };
    const auto leave = [](VideoWidget* cell) {
        QEvent left(QEvent::Leave);
        QApplication::sendEvent(cell, &left);
    };
    QTRY_VERIFY(cells.first()->isVisible() && cells.last()->isVisible());
    QVERIFY(nameShown(cells.first()));
    for (VideoWidget* cell : cells)
        leave(cell);
    QTRY_VERIFY(!nameShown(cells.first()) && !nameShown(cells.last()));

    // The Settings page's box: every open cell shows its name at once, and
    // keeps it when the pointer leaves again.
    auto* box = w->sideBar()->settings()->findChild<QCheckBox*>(QStringLiteral("cameraNamesBox"));
    QVERIFY(box && !box->isChecked());
    box->click();
    for (VideoWidget* cell : cells)
        QVERIFY(nameShown(cell));
    QVERIFY(App::Settings::instance().value("view/cameraNamesAlwaysShown").toBool());
    QEvent entered(QEvent::Enter);
    QApplication::sendEvent(cells.first(), &entered);
    leave(cells.first());
    QTest::qWait(400); // past the bars' slide out
    QVERIFY(nameShown(cells.first()));
    box->click();
    QVERIFY(!nameShown(cells.first()) && !nameShown(cells.last()));
}

void TestKeyboard::newLayoutNameTakesTheKeys()
{
    GUI::MainWindow* w = m_window.get();
    w->setLayoutsMode();
    QTest::mouseClick(w->sideBar()->findChild<QPushButton*>("addLayoutButton"), Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), w->infoPanel()->findChild<QLineEdit*>("layoutNameEdit"));
    // A digit and Space are shortcuts of the grid; here they replace the default name.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Yard 2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(w->currentLayout()->name(), QStringLiteral("Yard 2"));
    QVERIFY(w->currentLayout()->exists());
    App::Layouts::instance()->remove(w->currentLayout());
}

void TestKeyboard::losingCamerasOrALayoutAsksFirst()
{
    GUI::MainWindow* w = m_window.get();
    GUI::LayoutWidget* grid = w->layoutWidget();
    auto* editor = w->infoPanel()->findChild<GUI::GridSizeEditor*>();
    const auto pickGrid = [w, editor](int rows, int columns) {
        QTest::mouseClick(w->infoPanel()->findChild<QPushButton*>("editGridButton"), Qt::LeftButton);
        QTRY_VERIFY(editor->isVisible());
        QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(15 + 14 * (columns - 1), 15 + 12 * (rows - 1)));
    };
    const QStringList all{"Cam 1", "Cam 2", "Cam 3", "Cam 4"};
    w->editLayout();
    {
        Answers no(QMessageBox::Cancel);
        pickGrid(1, 1);
        QTRY_COMPARE(no.asked, QStringList{"Cameras that do not fit in the smaller grid will leave the layout. "
                                           "Leaving the layout (3): \"Cam 2\", \"Cam 3\", \"Cam 4\"."});
    }
    QCOMPARE(w->currentLayout()->columns(), 2);
    QCOMPARE(shownCameras(grid), all);
    QCOMPARE(editor->hovered(), QSize(0, 0)); // the refused pick is not shown as picked
    {
        // Growing, or shrinking past empty cells only, asks nothing.
        Answers yes(QMessageBox::Yes);
        pickGrid(3, 3);
        QTRY_COMPARE(w->currentLayout()->rows(), 3);
        pickGrid(2, 3);
        QTRY_COMPARE(w->currentLayout()->rows(), 2);
        QVERIFY(yes.asked.isEmpty());
        pickGrid(2, 1);
        QTRY_COMPARE(yes.asked.size(), 1);
    }
    QTRY_COMPARE(shownCameras(grid), (QStringList{"Cam 1", "Cam 3"}));
    w->cancelEditLayout();
    QTRY_COMPARE(shownCameras(grid), all); // only the edit had lost them

    // Deleting a layout asks; the view of the deleted layout closes, its edit too.
    const auto deleteFromMenu = [w](const API::LayoutPtr& layout, QMessageBox::StandardButton button) {
        Answers answer(button);
        w->sideBar()->layouts()->card(layout)->menu()->findChild<QAction*>("deleteLayoutAction")->trigger();
        return answer.asked;
    };
    for (const bool editing : {false, true}) {
        const API::LayoutPtr gamma = storedLayout("Gamma", {m_server->item(2)}, 1, 1);
        QVERIFY(w->openLayout(gamma));
        if (editing)
            w->editLayout();
        QTRY_COMPARE(shownCameras(grid), QStringList{"Cam 2"});
        QCOMPARE(deleteFromMenu(gamma, QMessageBox::Cancel), QStringList{"Delete layout \"Gamma\"?"});
        QVERIFY(gamma->exists());
        QCOMPARE(w->isEditing(), editing);
        QCOMPARE(deleteFromMenu(gamma, QMessageBox::Yes).size(), 1);
        QVERIFY(!gamma->exists() && !w->isEditing());
        QTRY_COMPARE(shownCameras(grid), QStringList());
        QVERIFY(w->infoPanel()->findChild<QLabel*>("layoutTitle")->text() != "Gamma");
    }
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
