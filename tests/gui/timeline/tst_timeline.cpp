#include "httptestserver.h"
#include "gui/timeline/calendarpopup.h"
#include "gui/timeline/datefieldfilter.h"
#include "gui/timeline/timeline.h"
#include "gui/timeline/timelinepainter.h"
#include "gui/timeline/timelinescale.h"
#include "gui/timeline/timelinetooltip.h"
#include "model/camera.h"
#include "model/layout.h"
#include "model/server.h"
#include "model/localserver.h"
#include "resources/resources.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateEdit>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::GUI;

namespace {

const QDate day(2026, 3, 10);
QDateTime at(int h, int m, int s = 0, const QDate& date = day) { return QDateTime(date, QTime(h, m, s)); }

void sendMouse(QWidget* widget, QEvent::Type type, int x)
{
    const QPoint position(x, 20);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendWheel(QWidget* widget, int x, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF position(x, 20);
    QWheelEvent event(position, widget->mapToGlobal(position.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestTimeline : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void axisRoundTrip_data();
    void axisRoundTrip();
    void twentyZoomInsReachTheClosest();
    void zoomOutAtTheWholeDayDoesNothing();
    void zoomToLevel_data();
    void zoomToLevel();
    void wheelAtTheAxisEnds_data();
    void wheelAtTheAxisEnds();
    void ctrlWheelPansWithinTheDay();
    void clickTolerance_data();
    void clickTolerance();
    void dragPansWithinTheDay();
    void scaleRow_data();
    void scaleRow();
    void barsAreCutAtTheVisibleEdges();
    void spansAcrossClockChanges_data();
    void spansAcrossClockChanges();
    void selection_data();
    void selection();
    void selectionDrags();
    void selectionOutOfViewIsBroughtIntoView();
    void loadingAndStatusTexts();
    void dateFieldClickOpensTheCalendar();
    void calendarAsksForRecentMonths();
    void calendarMarksClearTheDigits();

private:
    HttpTestServer m_lan;
    std::shared_ptr<API::LocalServer> m_server;
    Timeline* m_timeline = nullptr;
    QJsonArray m_records;
    bool m_failRecords = false;
};

void TestTimeline::initTestCase()
{
    registerResources();
    API::registerMetaTypes();
    // The local server answers every records request with m_records, or fails.
    m_lan.setHandler([this](const HttpTestServer::Request& request) {
        if (request.path.endsWith("archive/list")) {
            return m_failRecords ? HttpTestServer::Response::json(500, "{}")
                                 : HttpTestServer::Response::json(200, QJsonDocument(m_records).toJson());
        }
        if (request.path.endsWith("archive/days")) {
            // Every day asked for has recordings.
            QJsonArray days;
            const QDate first = QDateTime::fromSecsSinceEpoch(request.queryValue("startTime").toLongLong()).date();
            const QDate last = QDateTime::fromSecsSinceEpoch(request.queryValue("endTime").toLongLong()).date();
            for (QDate date = first; date.isValid() && date <= last; date = date.addDays(1))
                days.append(QJsonObject{{"date", double(QDateTime(date, QTime(12, 0)).toSecsSinceEpoch())},
                                        {"recordsCount", 1}});
            return HttpTestServer::Response::json(200, QJsonDocument(days).toJson());
        }
        return HttpTestServer::Response::json(404, "{}");
    });
    m_server = std::make_shared<API::LocalServer>("Shop", "127.0.0.1", m_lan.port(), "pw");
    m_server->updateCameras(QJsonArray{QJsonObject{{"id", 1}, {"name", "Door"}, {"online", true}},
                                       QJsonObject{{"id", 2}, {"name", "Yard"}, {"online", true}}});
}

void TestTimeline::init()
{
    m_timeline = new Timeline;
    m_timeline->resize(1029, 45); // an axis of 1000 px
    m_timeline->changeDate(day);
    m_timeline->show();
}

void TestTimeline::cleanup()
{
    delete m_timeline;
}

void TestTimeline::axisRoundTrip_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<int>("width");
    QTest::newRow("whole day") << at(0, 0) << at(23, 59, 59) << 1029;
    QTest::newRow("closest zoom, narrow") << at(10, 0) << at(10, 10) << 300;
    QTest::newRow("odd span") << at(7, 13, 5) << at(19, 1, 44) << 777;
}

void TestTimeline::axisRoundTrip()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(int, width);
    m_timeline->resize(width, 45);
    m_timeline->setStartValue(start);
    m_timeline->setEndValue(end);
    QCOMPARE(m_timeline->x(start), 15);
    QCOMPARE(m_timeline->x(end), width - 14);
    QCOMPARE(m_timeline->t(15), start);
    QCOMPARE(m_timeline->t(width - 14), end);
    const double secsPerPixel = double(start.secsTo(end)) / (width - 29);
    for (int x = 15; x <= width - 14; ++x) {
        QCOMPARE(m_timeline->x(m_timeline->t(x)), x);
        const QDateTime t = start.addSecs(qint64(x - 15) * 37 % start.secsTo(end));
        QVERIFY(qAbs(m_timeline->t(m_timeline->x(t)).secsTo(t)) <= secsPerPixel / 2 + 1);
    }
}

void TestTimeline::twentyZoomInsReachTheClosest()
{
    QSignalSpy zoomed(m_timeline, &Timeline::zoomed);
    for (int i = 1; i <= 20; ++i) {
        m_timeline->zoomIn();
        QCOMPARE(zoomed.count(), i);
        QCOMPARE(zoomed.last().at(0).toInt(), 5 * i);
    }
    const QDateTime start = m_timeline->startValue();
    const QDateTime end = m_timeline->endValue();
    QVERIFY(start.secsTo(end) < 4790);
    m_timeline->zoomIn();
    QCOMPARE(zoomed.count(), 20);
    QCOMPARE(m_timeline->zoomLevel(), 100);
    QCOMPARE(m_timeline->startValue(), start);
    QCOMPARE(m_timeline->endValue(), end);
    // And back out to the whole day, the anchor in the middle.
    m_timeline->zoom(0);
    QCOMPARE(m_timeline->zoomLevel(), 0);
    QCOMPARE(m_timeline->startValue(), at(0, 0));
    QCOMPARE(m_timeline->endValue(), at(23, 59, 59));
}

void TestTimeline::zoomOutAtTheWholeDayDoesNothing()
{
    QSignalSpy zoomed(m_timeline, &Timeline::zoomed);
    m_timeline->zoomOut();
    sendWheel(m_timeline, 500, -240);
    QCOMPARE(zoomed.count(), 0);
    QCOMPARE(m_timeline->zoomLevel(), 0);
    QCOMPARE(m_timeline->startValue(), at(0, 0));
    QCOMPARE(m_timeline->endValue(), at(23, 59, 59));
}

void TestTimeline::zoomToLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("reached");
    QTest::newRow("within") << 40 << 40;
    QTest::newRow("above the slider") << 1000 << 100;
    QTest::newRow("below the slider") << -7 << 0;
    QTest::newRow("between steps") << 42 << 45;
}

void TestTimeline::zoomToLevel()
{
    QFETCH(int, level);
    QFETCH(int, reached);
    m_timeline->zoom(50);
    m_timeline->zoom(level);
    QCOMPARE(m_timeline->zoomLevel(), reached);
}

void TestTimeline::wheelAtTheAxisEnds_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("left");
    QTest::newRow("left of the axis") << 5 << true;
    QTest::newRow("on the axis start") << 15 << true;
    QTest::newRow("right of the axis") << 1025 << false;
}

void TestTimeline::wheelAtTheAxisEnds()
{
    QFETCH(int, x);
    QFETCH(bool, left);
    QSignalSpy zoomed(m_timeline, &Timeline::zoomed);
    sendWheel(m_timeline, x, 120);
    QCOMPARE(zoomed.count(), 1);
    QCOMPARE(m_timeline->zoomLevel(), 5);
    if (left) {
        QCOMPARE(m_timeline->startValue(), at(0, 0));
        QCOMPARE(m_timeline->endValue(), at(23, 59, 59).addSecs(-4290));
    } else {
        QCOMPARE(m_timeline->startValue(), at(0, 0).addSecs(4290));
        QCOMPARE(m_timeline->endValue(), at(23, 59, 59));
    }
}

void TestTimeline::ctrlWheelPansWithinTheDay()
{
    m_timeline->zoom(50); // about 11.9 h visible: a notch pans by about half an hour
    const qint64 span = m_timeline->startValue().secsTo(m_timeline->endValue());
    const QDateTime start = m_timeline->startValue();
    sendWheel(m_timeline, 500, 120, Qt::ControlModifier);
    QCOMPARE(start.secsTo(m_timeline->startValue()), qRound64(span * 3600.0 / 86400.0));
    for (int i = 0; i < 40; ++i)
        sendWheel(m_timeline, 500, -120, Qt::ControlModifier);
    QCOMPARE(m_timeline->startValue(), at(0, 0));
    QCOMPARE(m_timeline->startValue().secsTo(m_timeline->endValue()), span);
}

void TestTimeline::clickTolerance_data()
{
    QTest::addColumn<int>("moved");
    QTest::addColumn<bool>("clicked");
    QTest::newRow("still") << 0 << true;
    QTest::newRow("3 px") << 3 << true;
    QTest::newRow("3 px back") << -3 << true;
    QTest::newRow("4 px") << 4 << false;
}

void TestTimeline::clickTolerance()
{
    QFETCH(int, moved);
    QFETCH(bool, clicked);
    QSignalSpy clicks(m_timeline, &Timeline::clicked);
    sendMouse(m_timeline, QEvent::MouseButtonPress, 515);
    sendMouse(m_timeline, QEvent::MouseMove, 515 + moved);
    sendMouse(m_timeline, QEvent::MouseButtonRelease, 515 + moved);
    QCOMPARE(clicks.count(), clicked ? 1 : 0);
    auto* tooltip = m_timeline->findChild<TimelineTooltip*>();
    QVERIFY(tooltip->isVisible());
    QCOMPARE(tooltip->time(), m_timeline->t(515 + moved).time());
    if (clicked)
        QCOMPARE(clicks.first().at(0).toDateTime(), m_timeline->t(515 + moved));
}

void TestTimeline::dragPansWithinTheDay()
{
    m_timeline->zoom(50);
    const qint64 span = m_timeline->startValue().secsTo(m_timeline->endValue());
    const QDateTime under = m_timeline->t(600);
    sendMouse(m_timeline, QEvent::MouseButtonPress, 600);
    sendMouse(m_timeline, QEvent::MouseMove, 700);
    QCOMPARE(m_timeline->t(700), under); // the grabbed moment follows the pointer
    for (int x = 700; x < 5000; x += 100)
        sendMouse(m_timeline, QEvent::MouseMove, x);
    sendMouse(m_timeline, QEvent::MouseButtonRelease, 5000);
    QCOMPARE(m_timeline->startValue(), at(0, 0));
    QCOMPARE(m_timeline->startValue().secsTo(m_timeline->endValue()), span);
}

void TestTimeline::scaleRow_data()
{
    QTest::addColumn<int>("labelsFit");
    QTest::addColumn<int>("spanSecs");
    QTest::addColumn<int>("labelSecs");
    QTest::addColumn<int>("tickSecs");
    QTest::newRow("10 min, 30 labels") << 30 << 600 << 60 << 10;
    QTest::newRow("10 min, 10 labels") << 10 << 600 << 300 << 30;
    QTest::newRow("1 h, 7 labels") << 7 << 3600 << 600 << 60;
    QTest::newRow("1 h, 5 labels") << 5 << 3600 << 900 << 120;
    QTest::newRow("2 h, 4 labels") << 4 << 7200 << 1800 << 300;
    QTest::newRow("day, 40 labels") << 40 << 86399 << 3600 << 600;
    QTest::newRow("day, 8 labels") << 8 << 86399 << 7200 << 1800;
    QTest::newRow("day, 7 labels") << 7 << 86399 << 28800 << 3600;
}

void TestTimeline::scaleRow()
{
    QFETCH(int, labelsFit);
    QFETCH(int, spanSecs);
    QFETCH(int, labelSecs);
    QFETCH(int, tickSecs);
    const TimelineScale scale = TimelineScale::choose(labelsFit, spanSecs);
    QCOMPARE(scale.labelSecs, labelSecs);
    QCOMPARE(scale.tickSecs, tickSecs);
}

void TestTimeline::barsAreCutAtTheVisibleEdges()
{
    TimelineRange range(day);
    range.setRange(at(10, 0), at(12, 0));
    const QList<API::ArchiveRecord> first{{at(9, 0), at(10, 30)}, {at(11, 0), at(11, 0, 1)}};
    const QList<API::ArchiveRecord> second{{at(10, 30), at(10, 45)}, {at(11, 30), at(13, 0)}, {at(13, 5), at(14, 0)}};
    const auto bars = TimelinePainter::bars(range, 1029, {TimelinePainter::spans(first), TimelinePainter::spans(second)});
    // 10:00-10:45 joined across cameras, a one-second record still a pixel
    // wide, 11:30 to the right end of the axis.
    QCOMPARE(bars, (QList<QPair<int, int>>{{15, 390}, {515, 516}, {765, 1015}}));
}

void TestTimeline::spansAcrossClockChanges_data()
{
    QTest::addColumn<QDate>("date");
    QTest::newRow("ordinary day") << day;
    QTest::newRow("clocks go forward") << QDate(2026, 3, 29);
    QTest::newRow("clocks go back") << QDate(2026, 10, 25);
}

// The zone is set in main(): a zone with summer time.
void TestTimeline::spansAcrossClockChanges()
{
    QFETCH(QDate, date);
    const QList<API::ArchiveRecord> records{{at(0, 0, 0, date), at(1, 30, 0, date)},
                                            {at(3, 30, 0, date), at(4, 0, 0, date)},
                                            {at(22, 0, 0, date), at(23, 59, 59, date)}};
    const auto spans = TimelinePainter::spans(records);
    QCOMPARE(spans.size(), records.size());
    for (int i = 0; i < records.size(); ++i) {
        QCOMPARE(spans.at(i).first, records.at(i).start.toMSecsSinceEpoch());
        QCOMPARE(spans.at(i).second, records.at(i).end.toMSecsSinceEpoch());
    }
}

void TestTimeline::selection_data()
{
    QTest::addColumn<QDateTime>("position");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::newRow("seconds dropped") << at(12, 0, 40) << at(11, 58) << at(12, 3);
    QTest::newRow("near the end of the day") << at(23, 58, 30) << at(23, 54, 59) << at(23, 59, 59);
    QTest::newRow("near the start of the day") << at(0, 1) << at(0, 0) << at(0, 5);
    QTest::newRow("no position: middle of the view") << QDateTime() << at(11, 57) << at(12, 2);
}

void TestTimeline::selection()
{
    QFETCH(QDateTime, position);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    m_timeline->setPosition(position);
    m_timeline->startSelection();
    QVERIFY(m_timeline->isSelecting());
    QCOMPARE(m_timeline->selectionStart(), start);
    QCOMPARE(m_timeline->selectionEnd(), end);

    m_timeline->endSelection();
    QVERIFY(!m_timeline->isSelecting());
}

void TestTimeline::selectionDrags()
{
    m_timeline->zoom(95); // 300 s are about 60 px
    m_timeline->setPosition(at(12, 0, 40));
    m_timeline->startSelection();
    QCOMPARE(m_timeline->selectionStart(), at(11, 58));
    QSignalSpy clicks(m_timeline, &Timeline::clicked);
    auto drag = [this](int from, int to) {
        sendMouse(m_timeline, QEvent::MouseButtonPress, from);
        sendMouse(m_timeline, QEvent::MouseMove, to);
        sendMouse(m_timeline, QEvent::MouseButtonRelease, to);
    };
    // The end edge, dragged past the widget, stops at the end of the view's day.
    drag(m_timeline->x(at(12, 3)) - 5, 100000);
    QCOMPARE(m_timeline->selectionStart(), at(11, 58));
    QCOMPARE(m_timeline->selectionEnd(), at(23, 59, 59));
    // The start edge follows the pointer.
    drag(m_timeline->x(at(11, 58)) + 3, m_timeline->x(at(11, 50)));
    QCOMPARE(m_timeline->selectionStart(), m_timeline->t(m_timeline->x(at(11, 50))));
    // Presses next to the widget's ends grab nothing.
    const QDateTime start = m_timeline->selectionStart();
    drag(5, 600);
    QCOMPARE(m_timeline->selectionStart(), start);
    QCOMPARE(clicks.count(), 0); // clicks while selecting do not play
    m_timeline->endSelection();
    QVERIFY(!m_timeline->isSelecting());
}

void TestTimeline::selectionOutOfViewIsBroughtIntoView()
{
    m_timeline->zoom(95);
    const qint64 span = m_timeline->startValue().secsTo(m_timeline->endValue());
    m_timeline->setPosition(at(20, 0));
    m_timeline->startSelection();
    QTRY_VERIFY_WITH_TIMEOUT(m_timeline->startValue() <= at(19, 57) && m_timeline->endValue() >= at(20, 2), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(m_timeline->startValue().secsTo(m_timeline->endValue()), span, 20000);
    QVERIFY(m_timeline->startValue() <= at(19, 57) && m_timeline->endValue() >= at(20, 2));
}

void TestTimeline::loadingAndStatusTexts()
{
    auto layout = std::make_shared<API::Layout>();
    layout->resize(1, 2);
    layout->addCamera(m_server->item(1));
    layout->addCamera(m_server->item(2));
    m_records = {};
    m_lan.clearRequests();
    auto recordsRequests = [this] {
        int count = 0;
        for (const auto& request : m_lan.requests())
            count += request.path.endsWith("archive/list");
        return count;
    };

    m_timeline->setLayout(layout);
    QCOMPARE(m_timeline->statusText(), QStringLiteral("Loading recordings..."));
    QVERIFY(m_timeline->isLoading());
    QTRY_COMPARE_WITH_TIMEOUT(recordsRequests(), 2, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(m_timeline->statusText(), QStringLiteral("No recordings found for 10 March"), 20000);
    QVERIFY(!m_timeline->isLoading());

    m_timeline->changeDate(day);
    QCOMPARE(m_timeline->statusText(), QStringLiteral("No recordings found for 10 March"));
    QTest::qWait(0);
    QCOMPARE(recordsRequests(), 2);

    // A failure offers to try again; the link reloads, and records hide the texts.
    m_failRecords = true;
    m_timeline->changeDate(day.addDays(-1));
    QTRY_VERIFY_WITH_TIMEOUT(m_timeline->statusText().startsWith("Cannot load recordings."), 20000);
    QVERIFY(m_timeline->statusText().contains("Try again</a>"));
    m_failRecords = false;
    const QDateTime start = at(10, 0, 0, day.addDays(-1));
    m_records = {QJsonObject{{"startTime", double(start.toMSecsSinceEpoch() - 1000)}, {"duration", 600000}}};
    auto* label = m_timeline->findChild<QLabel*>("statusLabel");
    emit label->linkActivated("#");
    QTRY_COMPARE_WITH_TIMEOUT(m_timeline->statusText(), QString(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(layout->hasRecords(day.addDays(-1)), 20000);

    // A camera whose recordings the account may not see says so, not that there are none.
    auto cloud = std::make_shared<API::Server>(QJsonObject{
        {"id", "srv"}, {"name", "Office"}, {"online", true},
        {"cameras", QJsonArray{QJsonObject{{"id", 5}, {"name", "Corridor"}, {"online", true}, {"rights", QJsonArray{"live"}}}}}});
    auto unshared = std::make_shared<API::Layout>();
    unshared->resize(1, 1);
    unshared->addCamera(cloud->item(5));
    m_timeline->setLayout(unshared);
    QTRY_COMPARE_WITH_TIMEOUT(m_timeline->statusText(), QStringLiteral("No access to recordings"), 20000);
    m_timeline->setLayout(nullptr);
}

void TestTimeline::dateFieldClickOpensTheCalendar()
{
    QDateEdit field(day);
    field.setCalendarPopup(true);
    auto* calendar = new CalendarPopup;
    field.setCalendarWidget(calendar);
    field.resize(120, 24);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    QVERIFY(DateFieldFilter::install(&field));
    auto* text = field.findChild<QLineEdit*>("qt_spinbox_lineedit");
    QVERIFY(calendar->findChild<QWidget*>("calendar_spacer_top"));
    QVERIFY(calendar->findChild<QWidget*>("calendar_spacer_mid"));

    QSignalSpy edited(text, &QLineEdit::cursorPositionChanged);
    QTest::mousePress(text, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(text, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(edited.count(), 0); // swallowed, the text is not touched
    QTRY_VERIFY_WITH_TIMEOUT(calendar->isVisible(), 20000);
}

void TestTimeline::calendarAsksForRecentMonths()
{
    auto layout = std::make_shared<API::Layout>();
    layout->addCamera(m_server->item(1));
    m_lan.clearRequests();
    auto calendarRanges = [this] {
        QList<QPair<QDate, QDate>> ranges;
        for (const auto& request : m_lan.requests()) {
            if (request.path.endsWith("archive/days"))
                ranges.append({QDateTime::fromSecsSinceEpoch(request.queryValue("startTime").toLongLong()).date(),
                               QDateTime::fromSecsSinceEpoch(request.queryValue("endTime").toLongLong()).date()});
        }
        return ranges;
    };
    CalendarPopup popup;
    popup.setLayout(layout);
    QTRY_COMPARE_WITH_TIMEOUT(calendarRanges().size(), 1, 20000);
    const QDate today = QDate::currentDate();
    const QDate firstOfMonth(today.year(), today.month(), 1);
    QCOMPARE(calendarRanges().first(), qMakePair(firstOfMonth.addMonths(-2), today));

    // Paging back past the months loaded asks for the month shown; paging
    // within them does not.
    const QDate older = firstOfMonth.addMonths(-5);
    popup.setCurrentPage(older.year(), older.month());
    popup.setCurrentPage(today.year(), today.month());
    QTRY_COMPARE_WITH_TIMEOUT(calendarRanges().size(), 2, 20000);
    QCOMPARE(calendarRanges().last(), qMakePair(older, older.addMonths(1).addDays(-1)));
}

namespace {

class PaintedCalendar : public CalendarPopup
{
public:
    using CalendarPopup::paintCell;
};

// The bounding boxes of the digits' pixels (light grey to white) and of the
// mark's (blue) in a painted cell.
QPair<QRect, QRect> digitAndMark(const QImage& cell)
{
    QRect digit;
    QRect mark;
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) {
            const QColor c = cell.pixelColor(x, y);
            if (c.blue() - c.red() > 60)
                mark |= QRect(x, y, 1, 1);
            else if (c.red() > 90 && qAbs(c.red() - c.blue()) < 40)
                digit |= QRect(x, y, 1, 1);
        }
    }
    return {digit, mark};
}

} // namespace

// Painted at the popup's own cell size, and in a cramped one, the mark of a
// recorded day stays whole inside its cell, below the digits and off them.
void TestTimeline::calendarMarksClearTheDigits()
{
    auto layout = std::make_shared<API::Layout>();
    layout->addCamera(m_server->item(1));
    PaintedCalendar popup;
    popup.setLayout(layout);
    const QDate today = QDate::currentDate();
    QTRY_VERIFY_WITH_TIMEOUT(layout->hasCalendarDay(today), 20000);
    popup.setSelectedDate(today.addYears(-1));
    popup.setCurrentPage(today.year(), today.month());
    popup.resize(popup.sizeHint());
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    auto* view = popup.findChild<QAbstractItemView*>("qt_calendar_calendarview");
    QVERIFY(view);
    const QSize shown = view->visualRect(view->model()->index(3, 3)).size();
    QVERIFY2(shown.height() >= 10, qPrintable(QString::number(shown.height())));

    // Every digit from 1 to 31, all recorded.
    for (const QSize& size : {shown, QSize(24, 17)}) {
        for (QDate date = today.addDays(-40); date <= today; date = date.addDays(1)) {
            QImage cell(size, QImage::Format_RGB32);
            QPainter painter(&cell);
            popup.paintCell(&painter, cell.rect(), date);
            painter.end();
            const auto [digit, mark] = digitAndMark(cell);
            const QString where
                = QStringLiteral("%1 in %2x%3").arg(date.toString(Qt::ISODate)).arg(size.width()).arg(size.height());
            QVERIFY2(!digit.isEmpty() && mark.height() >= 3 && mark.width() >= 3, qPrintable(where));
            QVERIFY2(!digit.intersects(mark), qPrintable(where));
            QVERIFY2(mark.top() > digit.bottom(), qPrintable(where));
        }
    }
}

int main(int argc, char** argv)
{
    qputenv("TZ", "Europe/Berlin");
    QApplication app(argc, argv);
    TestTimeline test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_timeline.moc"
