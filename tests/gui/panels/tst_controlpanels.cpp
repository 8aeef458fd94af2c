#include "core/settings.h"
#include "gui/panels/archivecontrolpanel.h"
#include "gui/panels/controlpanel.h"
#include "gui/panels/fragmenteditor.h"
#include "gui/panels/qualitymenu.h"
#include "gui/timeline/timeline.h"
#include "gui/timeline/timelinetooltip.h"
#include "resources/resources.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QToolTip>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::GUI;

namespace {

App::Settings& settings()
{
    return App::Settings::instance();
}

template <typename T = QWidget>
T* part(const QWidget* panel, const char* name)
{
    T* child = panel->findChild<T*>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

QString soundLook(const ControlPanel& panel)
{
    return part<QPushButton>(&panel, "soundButton")->property("volume").toString();
}

const QDate day(2026, 3, 10);
QDateTime at(int h, int m, int s = 0) { return QDateTime(day, QTime(h, m, s)); }

// The archive panel over the timeline, tied together as the main window ties them.
struct ArchiveBar
{
    QWidget window;
    ArchiveControlPanel* panel = new ArchiveControlPanel;
    Timeline* timeline = new Timeline;
    TimelineTooltip* tooltip = nullptr;

    ArchiveBar()
    {
        auto* box = new QVBoxLayout(&window);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        box->addWidget(panel);
        box->addWidget(timeline);
        window.resize(1029, 80);
        panel->setDate(day);
        timeline->changeDate(day);
        QObject::connect(timeline, &Timeline::selectionChanged, panel, &ArchiveControlPanel::setFragment);
        QObject::connect(panel, &ArchiveControlPanel::fragmentEdited, timeline, &Timeline::setSelection);
        timeline->setTooltipObstacles(panel->controls());
        window.show();
        tooltip = timeline->findChild<TimelineTooltip*>();
    }
    void mouse(QEvent::Type type, int x, Qt::MouseButtons held = Qt::LeftButton)
    {
        const QPoint position(x, 30);
        QMouseEvent event(type, position, timeline->mapToGlobal(position),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : held, Qt::NoModifier);
        QApplication::sendEvent(timeline, &event);
    }
    // The panel's buttons and fields on screen that the bubble covers.
    QStringList covered() const
    {
        QStringList names;
        for (const char* name : {"prevDayButton", "dateEdit", "nextDayButton", "zoomOutButton", "zoomSlider",
                                 "zoomInButton", "fragmentStartEdit", "fragmentEndEdit"}) {
            auto* widget = part(panel, name);
            const QRect place(widget->mapToGlobal(QPoint(0, 0)), widget->size());
            if (widget->isVisible() && place.intersects(tooltip->geometry()))
                names << QLatin1String(name);
        }
        return names;
    }
};

// Types digits into the part of a time field a click at the end of its
// first two digits picks, then confirms them.
void typeHours(QTimeEdit* edit, const QString& digits)
{
    auto* text = edit->findChild<QLineEdit*>();
    const QPoint afterHours(text->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 3, text->height() / 2);
    QTest::mouseClick(text, Qt::LeftButton, Qt::NoModifier, afterHours);
    QTest::keyClicks(text, digits);
    QTest::keyClick(text, Qt::Key_Return);
}

} // namespace

class TestControlPanels : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void speedSteps_data();
    void speedSteps();
    void soundButtonLook_data();
    void soundButtonLook();
    void soundButtonTwiceRestores_data();
    void soundButtonTwiceRestores();
    void soundSettingsAndVolume();
    void qualityMenu();
    void controlsVisibility();
    void buttonsForwarded_data();
    void buttonsForwarded();
    void exportProgress();
    void archiveZoom();
    void archiveDays();
    void hoverBubbleKeepsOffTheButtons();
    void exportFragmentShownDraggedAndTyped();
};

void TestControlPanels::init()
{
    settings().setValue(QStringLiteral("sound/on"), true);
    settings().setValue(QStringLiteral("sound/volume"), 50);
}

void TestControlPanels::speedSteps_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("speed");
    QTest::addColumn<QString>("acc");
    QTest::addColumn<bool>("labelStays"); // after the slider hides
    QTest::newRow("8x") << 3 << "8x" << 8 << "yes" << true;
    QTest::newRow("32x") << 5 << "32x" << 32 << "yes" << true;
    QTest::newRow("back to 1x") << 0 << "1x" << 1 << "no" << false;
}

void TestControlPanels::speedSteps()
{
    QFETCH(int, step);
    QFETCH(QString, label);
    QFETCH(int, speed);
    QFETCH(QString, acc);
    QFETCH(bool, labelStays);
    ControlPanel panel;
    panel.showRecordsControls();
    panel.show();
    auto* slider = part<QSlider>(&panel, "speedSlider");
    QVERIFY(!slider->isVisible());
    QTest::mouseClick(part<QPushButton>(&panel, "speedButton"), Qt::LeftButton);
    QVERIFY(slider->isVisible());
    if (step == 0)
        slider->setValue(2);
    QSignalSpy speeds(&panel, &ControlPanel::speedChanged);
    slider->setValue(step);
    QCOMPARE(speeds.count(), 1);
    QCOMPARE(speeds.first().first().toInt(), speed);
    QCOMPARE(panel.speed(), speed);
    QCOMPARE(part<QLabel>(&panel, "speedLabel")->text(), label);
    QCOMPARE(part(&panel, "speedButton")->property("acc").toString(), acc);

    QTest::mouseClick(part<QPushButton>(&panel, "speedButton"), Qt::LeftButton);
    QVERIFY(!slider->isVisible());
    QCOMPARE(part<QLabel>(&panel, "speedLabel")->isVisible(), labelStays);
}

void TestControlPanels::soundButtonLook_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("volume");
    QTest::addColumn<QString>("look");
    QTest::newRow("0") << true << 0 << "low";
    QTest::newRow("1") << true << 1 << "mid";
    QTest::newRow("49") << true << 49 << "mid";
    QTest::newRow("50") << true << 50 << "high";
    QTest::newRow("100") << true << 100 << "high";
    QTest::newRow("disabled") << false << 80 << "mute";
    QTest::newRow("above range") << true << 150 << "high";
}

void TestControlPanels::soundButtonLook()
{
    QFETCH(bool, enabled);
    QFETCH(int, volume);
    QFETCH(QString, look);
    ControlPanel panel;
    panel.setSoundVolume(volume);
    panel.enableSound(enabled);
    QCOMPARE(soundLook(panel), look);
    QVERIFY(panel.soundVolume() >= 0 && panel.soundVolume() <= 100);
}

void TestControlPanels::soundButtonTwiceRestores_data()
{
    QTest::addColumn<bool>("stored");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestControlPanels::soundButtonTwiceRestores()
{
    QFETCH(bool, stored);
    settings().setValue(QStringLiteral("sound/on"), stored);
    ControlPanel panel;
    const QString lookBefore = soundLook(panel);
    QCOMPARE(lookBefore == QLatin1String("mute"), !stored);
    QSignalSpy enabled(&panel, &ControlPanel::soundEnabled);
    auto* button = part<QPushButton>(&panel, "soundButton");

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(settings().value(QStringLiteral("sound/on")).toBool(), !stored);
    QCOMPARE(panel.isSoundEnabled(), !stored);
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(enabled.count(), 2);
    QCOMPARE(enabled.at(0).first().toBool(), !stored);
    QCOMPARE(enabled.at(1).first().toBool(), stored);
    QCOMPARE(settings().value(QStringLiteral("sound/on")).toBool(), stored);
    QCOMPARE(soundLook(panel), lookBefore);

    // The window passes the choice back; that changes nothing more.
    panel.enableSound(stored);
    QCOMPARE(enabled.count(), 2);
}

void TestControlPanels::soundSettingsAndVolume()
{
    settings().setValue(QStringLiteral("sound/volume"), 30);
    settings().setValue(QStringLiteral("sound/on"), false);
    ControlPanel panel;
    QCOMPARE(panel.soundVolume(), 30);
    QVERIFY(!panel.isSoundEnabled());
    QCOMPARE(soundLook(panel), QStringLiteral("mute"));

    // The volume slider comes with the pointer over the sound area.
    panel.show();
    auto* slider = part<QSlider>(&panel, "soundSlider");
    QVERIFY(!slider->isVisible());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(part(&panel, "soundArea"), &enter);
    QVERIFY(slider->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(part(&panel, "soundArea"), &leave);
    QVERIFY(!slider->isVisible());

    QSignalSpy volumes(&panel, &ControlPanel::soundVolumeChanged);
    panel.setSoundVolume(30);
    QCOMPARE(volumes.count(), 0);
    slider->setValue(70);
    QCOMPARE(volumes.count(), 1);
    QCOMPARE(volumes.first().first().toInt(), 70);
    QCOMPARE(settings().value(QStringLiteral("sound/volume")).toInt(), 70);
}

void TestControlPanels::qualityMenu()
{
    ControlPanel panel;
    auto* menu = panel.findChild<QualityMenu*>();
    QVERIFY(menu);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{"Low", "Middle", "High", "Auto"}));
    QCOMPARE(menu->checkedEntry(), QualityMenu::Auto);
    QVERIFY(menu->entryButton(QualityMenu::Auto)->isChecked());
    QCOMPARE(menu->entryButton(QualityMenu::Low)->focusPolicy(), Qt::NoFocus);

    QSignalSpy low(&panel, &ControlPanel::setLowQuality);
    QSignalSpy automatic(&panel, &ControlPanel::setAutoQuality);
    menu->entryButton(QualityMenu::Low)->click();
    QCOMPARE(low.count(), 1);
    QCOMPARE(automatic.count(), 0);
    QCOMPARE(menu->checkedEntry(), QualityMenu::Low);
    QVERIFY(!menu->entryButton(QualityMenu::Auto)->isChecked());
    menu->entryButton(QualityMenu::Auto)->click();
    QCOMPARE(automatic.count(), 1);
    QCOMPARE(menu->checkedEntry(), QualityMenu::Auto);
}

void TestControlPanels::controlsVisibility()
{
    ControlPanel panel;
    panel.show();
    const QStringList always{"showRecordsButton", "pauseButton", "liveLabel", "soundButton", "qualityButton",
                             "fullscreenButton"};
    const auto visible = [&panel](const QString& name) {
        return panel.findChild<QWidget*>(name)->isVisible();
    };
    for (const QString& name : always)
        QVERIFY2(visible(name), qPrintable(name));
    QVERIFY(!visible("liveButton"));

    panel.showRecordsControls();
    QVERIFY(visible("hideRecordsButton") && visible("liveButton") && visible("exportModeButton"));
    panel.setEmptyMode();
    for (const QString& name : always + QStringList{"liveButton", "hideRecordsButton"})
        QVERIFY2(!visible(name), qPrintable(name));
    panel.setFullscreenButtonVisible(false);
    panel.setNormalMode();
    QVERIFY(visible("hideRecordsButton") && visible("liveButton") && !visible("fullscreenButton"));
    panel.hideRecordsControls();
    QVERIFY(visible("showRecordsButton") && !visible("liveButton"));

    panel.enterFullscreen();
    QVERIFY(part<QPushButton>(&panel, "fullscreenButton")->isChecked());
    panel.leaveFullscreen();
    QVERIFY(!part<QPushButton>(&panel, "fullscreenButton")->isChecked());
}

void TestControlPanels::buttonsForwarded_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("show recordings") << "showRecordsButton" << QByteArray(SIGNAL(showRecordsButtonClicked()));
    QTest::newRow("hide recordings") << "hideRecordsButton" << QByteArray(SIGNAL(hideRecordsButtonClicked()));
    QTest::newRow("export mode") << "exportModeButton" << QByteArray(SIGNAL(exportModeButtonClicked()));
    QTest::newRow("cancel export") << "cancelExportButton" << QByteArray(SIGNAL(cancelExportButtonClicked()));
    QTest::newRow("export") << "exportButton" << QByteArray(SIGNAL(exportButtonClicked()));
    QTest::newRow("live") << "liveButton" << QByteArray(SIGNAL(liveButtonClicked()));
    QTest::newRow("full screen") << "fullscreenButton" << QByteArray(SIGNAL(fullscreenButtonClicked()));
    QTest::newRow("pause") << "pauseButton" << QByteArray(SIGNAL(pause()));
    QTest::newRow("play") << "playButton" << QByteArray(SIGNAL(play()));
}

void TestControlPanels::buttonsForwarded()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, signal);
    ControlPanel panel;
    QSignalSpy spy(&panel, signal.constData());
    panel.findChild<QPushButton*>(button)->click();
    QCOMPARE(spy.count(), 1);
}

void TestControlPanels::exportProgress()
{
    ControlPanel panel;
    panel.show();
    panel.setExportMode();
    auto* exportButton = part<QPushButton>(&panel, "exportButton");
    QVERIFY(exportButton->isVisible());
    panel.enableExport(false);
    QVERIFY(!exportButton->isEnabled());
    QCOMPARE(qobject_cast<QGraphicsOpacityEffect*>(exportButton->graphicsEffect())->opacity(), 0.5);
    panel.enableExport(true);
    QCOMPARE(qobject_cast<QGraphicsOpacityEffect*>(exportButton->graphicsEffect())->opacity(), 1.0);

    auto* percent = part<QLabel>(&panel, "exportPercentLabel");
    panel.exportPercentDone(37);
    panel.exportStarted();
    QVERIFY(percent->isVisible());
    QCOMPARE(percent->text(), QStringLiteral("0%"));
    panel.exportPercentDone(42);
    QCOMPARE(percent->text(), QStringLiteral("42%"));
    panel.exportPercentDone(140);
    QCOMPARE(percent->text(), QStringLiteral("100%"));
    panel.exportPercentDone(-3);
    QCOMPARE(percent->text(), QStringLiteral("0%"));
    panel.setNormalMode();
    QVERIFY(!percent->isVisible());
    QVERIFY(part(&panel, "soundButton")->isVisible());
}

void TestControlPanels::archiveZoom()
{
    ArchiveControlPanel panel;
    QSignalSpy zoomed(&panel, &ArchiveControlPanel::zoomed);
    for (int level : {-5, 250, 250, 40, 40}) {
        panel.zoom(level);
        QCOMPARE(panel.zoomLevel(), qBound(0, level, 100));
    }
    QCOMPARE(zoomed.count(), 0);
    part<QSlider>(&panel, "zoomSlider")->setValue(60);
    QCOMPARE(zoomed.count(), 1);
    QCOMPARE(zoomed.first().first().toInt(), 60);

    QSignalSpy zoomedIn(&panel, &ArchiveControlPanel::zoomedIn);
    QTest::mouseClick(part<QPushButton>(&panel, "zoomInButton"), Qt::LeftButton);
    QCOMPARE(zoomedIn.count(), 1);
}

void TestControlPanels::archiveDays()
{
    ArchiveControlPanel panel;
    const QDate day(2026, 3, 1);
    panel.setDate(day);
    QSignalSpy dates(&panel, &ArchiveControlPanel::dateChanged);
    panel.setDate(day);
    panel.setDate(QDate());
    QCOMPARE(dates.count(), 0);
    QCOMPARE(panel.date(), day);

    QTest::mouseClick(part<QPushButton>(&panel, "prevDayButton"), Qt::LeftButton);
    QCOMPARE(panel.date(), QDate(2026, 2, 28));
    QTest::mouseClick(part<QPushButton>(&panel, "nextDayButton"), Qt::LeftButton);
    QTest::mouseClick(part<QPushButton>(&panel, "nextDayButton"), Qt::LeftButton);
    QCOMPARE(panel.date(), QDate(2026, 3, 2));
    QCOMPARE(dates.count(), 3);
    QCOMPARE(dates.last().first().toDate(), QDate(2026, 3, 2));

    // A click on the date's text opens the calendar and leaves the text alone.
    auto* calendar = new QCalendarWidget;
    panel.setCalendarWidget(calendar);
    panel.resize(600, 40);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto* text = panel.findChild<QDateEdit*>("dateEdit")->findChild<QLineEdit*>("qt_spinbox_lineedit");
    QVERIFY(text);
    QTest::mouseClick(text, Qt::LeftButton, Qt::NoModifier, QPoint(4, text->height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(calendar->isVisible(), 20000);
    QVERIFY(!text->hasSelectedText());
    QCOMPARE(panel.date(), QDate(2026, 3, 2));
}

// Along the whole bar, at both ends and between, plain and while a fragment
// is picked, the bubble covers no button or field of the panel above.
void TestControlPanels::hoverBubbleKeepsOffTheButtons()
{
    ArchiveBar bar;
    QVERIFY(QTest::qWaitForWindowExposed(&bar.window));
    const int width = bar.timeline->width();
    // Where nothing is in the way it stays over the pointer, above the strip.
    bar.mouse(QEvent::MouseMove, width / 2, Qt::NoButton);
    const QRect bubble = bar.tooltip->geometry();
    QVERIFY(qAbs(bubble.center().x() - bar.timeline->mapToGlobal(QPoint(width / 2, 0)).x()) <= 1);
    QVERIFY(bubble.bottom() < bar.timeline->mapToGlobal(QPoint(0, 0)).y());

    for (const bool selecting : {false, true}) {
        if (selecting) {
            bar.timeline->startSelection();
            bar.panel->showSelectFragmentMessage();
        }
        for (int x = 0; x <= width; x += 4) {
            bar.mouse(QEvent::MouseMove, x, Qt::NoButton);
            QVERIFY(bar.tooltip->isVisible());
            const QString where = QStringLiteral("x %1, selecting %2").arg(x).arg(selecting);
            QVERIFY2(bar.covered().isEmpty(), qPrintable(where + QLatin1String(": ") + bar.covered().join(' ')));
            const QRect strip(bar.timeline->mapToGlobal(QPoint(0, 0)), bar.timeline->size());
            QVERIFY2(bar.tooltip->geometry().left() >= strip.left() && bar.tooltip->geometry().right() <= strip.right(),
                     qPrintable(where));
        }
    }
}

void TestControlPanels::exportFragmentShownDraggedAndTyped()
{
    ArchiveBar bar;
    QVERIFY(QTest::qWaitForWindowExposed(&bar.window));
    Timeline* timeline = bar.timeline;
    timeline->zoom(95); // 300 s are about 60 px
    timeline->setPosition(at(12, 0, 40));
    timeline->startSelection();
    bar.panel->showSelectFragmentMessage();
    auto* startEdit = part<QTimeEdit>(bar.panel, "fragmentStartEdit");
    auto* endEdit = part<QTimeEdit>(bar.panel, "fragmentEndEdit");
    auto* duration = part<QLabel>(bar.panel, "fragmentDurationLabel");
    QCOMPARE(startEdit->time(), QTime(11, 58));
    QCOMPARE(endEdit->time(), QTime(12, 3));
    QCOMPARE(duration->text(), QStringLiteral("(5 min)"));

    // Dragging the end edge tells the fragment beside the pointer and in the panel.
    bar.mouse(QEvent::MouseButtonPress, timeline->x(at(12, 3)) - 2);
    bar.mouse(QEvent::MouseMove, timeline->x(at(12, 5, 40)));
    const QDateTime end = timeline->selectionEnd();
    QVERIFY(end > at(12, 4) && end < at(12, 7));
    const QRegularExpressionMatch shown
        = QRegularExpression(QStringLiteral(R"(^11:58:00 \x{2013} (\d\d:\d\d:\d\d) \((\d+) min (\d+) s\)$)")).match(bar.tooltip->text());
    QVERIFY2(shown.hasMatch(), qPrintable(bar.tooltip->text()));
    QCOMPARE(shown.captured(1), end.toString(QStringLiteral("hh:mm:ss")));
    QCOMPARE(shown.captured(2).toInt() * 60 + shown.captured(3).toInt(), at(11, 58).secsTo(end));
    QVERIFY(bar.covered().isEmpty());
    bar.mouse(QEvent::MouseButtonRelease, timeline->x(at(12, 5, 40)));
    QCOMPARE(endEdit->time(), end.time());
    QCOMPARE(duration->text(), QLatin1Char('(') + shown.captured(2) + QStringLiteral(" min ") + shown.captured(3)
                                   + QStringLiteral(" s)"));

    // A start typed in moves the selection, which comes into view.
    QSignalSpy edited(bar.panel, &ArchiveControlPanel::fragmentEdited);
    typeHours(startEdit, QStringLiteral("10"));
    QCOMPARE(edited.count(), 1);
    QCOMPARE(timeline->selectionStart(), at(10, 58));
    QCOMPARE(timeline->selectionEnd(), end);
    QCOMPARE(duration->text(), QStringLiteral("(1 h 7 min %1 s)").arg(end.time().second()));
    QTRY_VERIFY_WITH_TIMEOUT(timeline->startValue() <= at(10, 58) && timeline->endValue() >= end, 20000);

    // An end before the start is refused with a word why, and nothing moves.
    typeHours(endEdit, QStringLiteral("09"));
    QCOMPARE(edited.count(), 1);
    QCOMPARE(bar.panel->fragmentEditor()->errorText(), QStringLiteral("The fragment must end after it starts"));
    QCOMPARE(QToolTip::text(), bar.panel->fragmentEditor()->errorText());
    QCOMPARE(timeline->selectionEnd(), end);
    QCOMPARE(endEdit->time(), end.time());
    // A good one clears the word.
    typeHours(endEdit, QStringLiteral("13"));
    QCOMPARE(timeline->selectionEnd(), end.addSecs(3600));
    QVERIFY(bar.panel->fragmentEditor()->errorText().isEmpty());

    // The timeline itself takes no fragment off its day, backwards, or when not selecting.
    QVERIFY(!timeline->setSelection(at(23, 0), at(23, 0).addSecs(7200)));
    QVERIFY(!timeline->setSelection(at(12, 0), at(11, 0)));
    QVERIFY(!timeline->setSelection(QDateTime(), at(11, 0)));
    timeline->endSelection();
    QVERIFY(!timeline->setSelection(at(11, 0), at(12, 0)));
    QCOMPARE(timeline->selectionStart(), at(10, 58));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerResources();
    // The settings file lives in the working folder.
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    TestControlPanels test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_controlpanels.moc"
