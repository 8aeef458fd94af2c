// The main window's layout questions: nothing leaves a layout, and no layout
// goes, without the user saying so; a deleted layout leaves the screen; a new
// layout's name takes the keys at once.
#include "core/settings.h"
#include "gui/grid/layoutwidget.h"
#include "gui/mainwindow/mainwindow.h"
#include "gui/panels/gridsizeeditor.h"
#include "gui/panels/infopanel.h"
#include "gui/player/videowidget.h"
#include "gui/sidebar/layoutcard.h"
#include "gui/sidebar/sidebar.h"
#include "gui/sidebar/sidebarlayouts.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/localserver.h"
#include "stores/layouts.h"
#include "stores/roster.h"

#include <QAction>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace OrvantaClient;
using GUI::Player::VideoWidget;

namespace {

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

// Answers every question box that comes up with one button and keeps its
// words; a question that should not have come is seen, not waited on for ever.
class Answerer
{
public:
    explicit Answerer(QMessageBox::StandardButton button)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            asked << QString(box->text() + QLatin1Char(' ') + box->informativeText()).trimmed();
            if (QAbstractButton* answer = box->button(button))
                answer->click();
            else
                box->reject();
        });
        m_timer.start();
    }
    QStringList asked;

private:
    QTimer m_timer;
};

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

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void shrinkingTheGridAsksFirst();
    void deletingTheShownLayoutClosesItsView();
    void newLayoutNameTakesTheKeys();

private:
    // Picks rows by columns in the grid popup as the pointer would.
    void pickGridSize(int rows, int columns);

    QTemporaryDir m_dir;
    std::shared_ptr<API::LocalServer> m_server;
    API::LayoutPtr m_four;
    std::unique_ptr<GUI::MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path()));
    // Nothing listens there: the cells stay without a picture.
    m_server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", 9, "pw");
    QJsonArray cameras;
    for (int id = 1; id <= 4; ++id)
        cameras.append(QJsonObject{{"id", id}, {"name", QString("Cam %1").arg(id)}, {"online", true}});
    m_server->updateCameras(cameras);
    m_server->setExists(true);
    App::Roster::instance()->add(m_server);
}

void TestMainWindow::init()
{
    m_four = storedLayout("Beta", {m_server->item(1), m_server->item(2), m_server->item(3), m_server->item(4)}, 2, 2);
    m_window = std::make_unique<GUI::MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QVERIFY(m_window->openLayout(m_four));
}

void TestMainWindow::cleanup()
{
    if (m_window && m_window->isEditing())
        m_window->cancelEditLayout();
    m_window.reset();
    App::Layouts::instance()->removeAll();
}

void TestMainWindow::pickGridSize(int rows, int columns)
{
    QTest::mouseClick(m_window->infoPanel()->findChild<QPushButton*>("editGridButton"), Qt::LeftButton);
    auto* editor = m_window->infoPanel()->findChild<GUI::GridSizeEditor*>();
    QTRY_VERIFY(editor->isVisible());
    const QPoint cell(10 + 14 * (columns - 1) + 5, 10 + 12 * (rows - 1) + 5);
    QTest::mouseMove(editor, cell);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, cell);
    QTRY_VERIFY(!editor->isVisible());
}

void TestMainWindow::shrinkingTheGridAsksFirst()
{
    GUI::MainWindow* w = m_window.get();
    QTest::mouseClick(w->infoPanel()->findChild<QPushButton*>("editLayoutButton"), Qt::LeftButton);
    QVERIFY(w->isEditing());
    const QStringList all{"Cam 1", "Cam 2", "Cam 3", "Cam 4"};
    QTRY_COMPARE(shownCameras(w->layoutWidget()), all);

    // Refused: the grid, its cameras and the popup's picture stay as they were.
    {
        Answerer no(QMessageBox::Cancel);
        pickGridSize(1, 1);
        QTRY_COMPARE(no.asked.size(), 1);
        for (const char* name : {"Cam 2", "Cam 3", "Cam 4", "(3)"})
            QVERIFY2(no.asked.first().contains(name), qPrintable(no.asked.first()));
        QVERIFY(!no.asked.first().contains("Cam 1"));
    }
    QCOMPARE(w->currentLayout()->rows(), 2);
    QCOMPARE(w->currentLayout()->columns(), 2);
    QCOMPARE(shownCameras(w->layoutWidget()), all);
    QCOMPARE(w->infoPanel()->findChild<GUI::GridSizeEditor*>()->hovered(), QSize(0, 0));

    // Growing, or shrinking past empty cells only, takes nobody out: no question.
    {
        Answerer none(QMessageBox::Cancel);
        pickGridSize(3, 4);
        QTRY_COMPARE(w->currentLayout()->rows(), 3);
        QCOMPARE(w->currentLayout()->columns(), 4);
        pickGridSize(2, 2);
        QTRY_COMPARE(w->currentLayout()->columns(), 2);
        QTest::qWait(100);
        QCOMPARE(none.asked, QStringList());
    }
    QCOMPARE(shownCameras(w->layoutWidget()), all);

    // Agreed: the cameras outside the smaller grid leave it.
    {
        Answerer yes(QMessageBox::Yes);
        pickGridSize(2, 1);
        QTRY_COMPARE(yes.asked.size(), 1);
        QVERIFY2(yes.asked.first().contains("(2)"), qPrintable(yes.asked.first()));
    }
    QCOMPARE(w->currentLayout()->columns(), 1);
    QTRY_COMPARE(shownCameras(w->layoutWidget()), (QStringList{"Cam 1", "Cam 3"}));
    // Only the edited copy: the stored layout keeps all four until saved.
    QCOMPARE(m_four->camerasCount(), 4);
}

void TestMainWindow::deletingTheShownLayoutClosesItsView()
{
    GUI::MainWindow* w = m_window.get();
    w->setLayoutsMode();
    auto* title = w->infoPanel()->findChild<QLabel*>("layoutTitle");
    const auto deleteFromMenu = [w](const API::LayoutPtr& layout) {
        GUI::LayoutCard* card = w->sideBar()->layouts()->card(layout);
        QVERIFY(card);
        card->menu()->findChild<QAction*>("deleteLayoutAction")->trigger();
    };

    {
        Answerer no(QMessageBox::Cancel);
        deleteFromMenu(m_four);
        QCOMPARE(no.asked, QStringList{"Delete layout \"Beta\"?"});
    }
    QVERIFY(m_four->exists());
    QCOMPARE(title->text(), QStringLiteral("Beta"));
    QCOMPARE(shownCameras(w->layoutWidget()).size(), 4);

    {
        Answerer yes(QMessageBox::Yes);
        deleteFromMenu(m_four);
        QCOMPARE(yes.asked.size(), 1);
    }
    QVERIFY(!m_four->exists());
    QVERIFY(w->currentLayout()->isEmpty());
    QVERIFY(title->text() != QStringLiteral("Beta"));
    QTRY_COMPARE(shownCameras(w->layoutWidget()), QStringList());
    QTRY_VERIFY(!w->sideBar()->layouts()->card(m_four));

    // Deleted while being edited here: the edit goes too, without a question about saving it.
    const API::LayoutPtr gamma = storedLayout("Gamma", {m_server->item(2)}, 1, 1);
    QVERIFY(w->openLayout(gamma));
    w->editLayout();
    {
        Answerer yes(QMessageBox::Yes);
        deleteFromMenu(gamma);
        QCOMPARE(yes.asked, QStringList{"Delete layout \"Gamma\"?"});
    }
    QVERIFY(!w->isEditing());
    QVERIFY(!gamma->exists());
    QTRY_COMPARE(shownCameras(w->layoutWidget()), QStringList());
    QVERIFY(w->infoPanel()->findChild<QLineEdit*>("layoutNameEdit")->isHidden());

    // Gone from the service (or another window): a layout only shown closes as well.
    const API::LayoutPtr delta = storedLayout("Delta", {m_server->item(3)}, 1, 1);
    QVERIFY(w->openLayout(delta));
    QTRY_COMPARE(shownCameras(w->layoutWidget()), QStringList{"Cam 3"});
    App::Layouts::instance()->remove(delta);
    QTRY_COMPARE(shownCameras(w->layoutWidget()), QStringList());
}

void TestMainWindow::newLayoutNameTakesTheKeys()
{
    GUI::MainWindow* w = m_window.get();
    w->setLayoutsMode();
    auto* add = w->sideBar()->findChild<QPushButton*>("addLayoutButton");
    QVERIFY(add->isVisible());
    QTest::mouseClick(add, Qt::LeftButton);
    QVERIFY(w->isEditing());
    auto* name = w->infoPanel()->findChild<QLineEdit*>("layoutNameEdit");
    QTRY_COMPARE(QApplication::focusWidget(), name);
    // Digits and Space are shortcuts of the grid; here they are part of the name.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Yard 2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!w->isEditing());
    QCOMPARE(w->currentLayout()->name(), QStringLiteral("Yard 2"));
    QVERIFY(w->currentLayout()->exists());
    QCOMPARE(App::Layouts::instance()->item(w->currentLayout()->id()), w->currentLayout());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
