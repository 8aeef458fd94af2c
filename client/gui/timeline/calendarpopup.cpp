#include "calendarpopup.h"
#include "timelinepainter.h"
#include "model/camera.h"
#include "model/layout.h"

#include <QAbstractItemView>
#include <QBoxLayout>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QTextCharFormat>

namespace OrvantaClient::GUI {

namespace {

const QColor dayColor(Qt::white);
const QColor otherMonthColor(110, 113, 120);
const QColor lineColor(55, 58, 64);

QWidget* spacer(const QString& name, int height, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(name);
    widget->setFixedHeight(height);
    return widget;
}

} // namespace

CalendarPopup::CalendarPopup(QWidget* parent) : QCalendarWidget(parent)
{
    QFile sheet(QStringLiteral(":/calendar/calendar.qss"));
    if (sheet.open(QIODevice::ReadOnly))
        setStyleSheet(QString::fromUtf8(sheet.readAll()));
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    setGridVisible(false);
    // The header row and the weekend names are painted by the view, not by
    // paintCell; they get the same quiet look as the days.
    QTextCharFormat header;
    header.setForeground(otherMonthColor);
    header.setBackground(TimelinePainter::background);
    header.setFontPointSize(8);
    setHeaderTextFormat(header);
    for (Qt::DayOfWeek weekend : {Qt::Saturday, Qt::Sunday})
        setWeekdayTextFormat(weekend, header);
    if (auto* box = qobject_cast<QBoxLayout*>(QCalendarWidget::layout())) {
        box->insertWidget(0, spacer(QStringLiteral("calendar_spacer_top"), 6, this));
        box->insertWidget(2, spacer(QStringLiteral("calendar_spacer_mid"), 4, this));
    }
    connect(this, &QCalendarWidget::currentPageChanged, this, &CalendarPopup::onPageChanged);
}

// The base class counts its own rows only: the spacers put in above would
// otherwise be taken from the last row of days.
QSize CalendarPopup::sizeHint() const
{
    return QCalendarWidget::sizeHint() + QSize(0, spacersHeight());
}

QSize CalendarPopup::minimumSizeHint() const
{
    return QCalendarWidget::minimumSizeHint() + QSize(0, spacersHeight());
}

int CalendarPopup::spacersHeight() const
{
    int height = 0;
    for (const char* name : {"calendar_spacer_top", "calendar_spacer_mid"}) {
        if (auto* spacer = findChild<QWidget*>(QLatin1String(name)))
            height += spacer->height();
    }
    return height;
}

void CalendarPopup::setLayout(const API::LayoutPtr& layout)
{
    if (layout == m_layout)
        return;
    if (m_layout)
        disconnect(m_layout.get(), nullptr, this, nullptr);
    m_layout = layout;
    if (layout) {
        connect(layout.get(), &API::Layout::camerasCalendarUpdated, this, &CalendarPopup::repaintDays);
        connect(layout.get(), &API::Layout::cameraAdded, this, &CalendarPopup::updateCameraCalendar);
        connect(layout.get(), &API::Layout::cameraRemoved, this, &CalendarPopup::updateCameraCalendar);
        for (const API::Layout::Cell& cell : layout->cells())
            updateCameraCalendar({cell.column, cell.row});
    }
    repaintDays();
}

void CalendarPopup::updateCameraCalendar(API::LayoutCellPoint point)
{
    // A removed camera leaves an empty cell: only the marks change.
    const API::CameraPtr camera = m_layout ? m_layout->cell(point).camera : nullptr;
    if (!camera) {
        repaintDays();
        return;
    }
    const QDate today = QDate::currentDate();
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(1 - monthsBack);
    camera->requestCalendar(first, today);
}

// Browsing back past the months loaded at first asks for the month shown.
void CalendarPopup::onPageChanged(int year, int month)
{
    const QDate today = QDate::currentDate();
    const QDate first(year, month, 1);
    if (!m_layout || first >= QDate(today.year(), today.month(), 1).addMonths(1 - monthsBack))
        return;
    for (const API::CameraPtr& camera : m_layout->cameras())
        camera->requestCalendar(first, first.addDays(first.daysInMonth() - 1));
}

void CalendarPopup::repaintDays()
{
    if (auto* view = findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview")))
        view->viewport()->update();
}

QFont CalendarPopup::dayFont()
{
    QFont font(QStringLiteral("PT Sans"));
    font.setPixelSize(12);
    return font;
}

// The digit and the mark are stacked and centred as one block, the same in
// every cell whether it has a mark or not, so that the rows of digits stay
// even. The glyph box is measured on the digits themselves, not on the
// font's ascent and descent, which leave room the mark may use.
CalendarPopup::DayPlaces CalendarPopup::dayPlaces(const QRect& cell, const QString& digits)
{
    static constexpr int gap = 2;
    static constexpr int markSize = 4;
    const QFontMetrics metrics(dayFont());
    // Heights from every digit, so that all days share one baseline.
    const QRect tallest = metrics.tightBoundingRect(QStringLiteral("0123456789"));
    const QRect own = metrics.tightBoundingRect(digits);
    const QRect glyphs(own.left(), tallest.top(), own.width(), tallest.height());
    const int blockHeight = glyphs.height() + gap + markSize;
    // A cell too short for the block keeps the mark inside and lets the
    // digits reach up towards the line above.
    const int top = qMin(cell.center().y() - blockHeight / 2, cell.bottom() + 1 - blockHeight);
    const int left = cell.center().x() - metrics.horizontalAdvance(digits) / 2;
    DayPlaces places;
    places.origin = QPoint(left, top - glyphs.top());
    places.digit = glyphs.translated(places.origin);
    places.mark = QRect(cell.center().x() - markSize / 2, top + glyphs.height() + gap, markSize, markSize);
    return places;
}

void CalendarPopup::paintCell(QPainter* painter, const QRect& rect, const QDate& date) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(rect, TimelinePainter::background);
    painter->setPen(lineColor);
    painter->drawLine(rect.topLeft(), rect.topRight());

    const bool inMonth = date.month() == monthShown() && date.year() == yearShown();
    const bool enabled = date >= minimumDate() && date <= maximumDate();
    const QString digits = QString::number(date.day());
    const DayPlaces places = dayPlaces(rect, digits);
    if (date == selectedDate()) {
        // Round the digit and its mark together.
        const int diameter = qMin(rect.width(), rect.height()) - 4;
        const QPoint centre = places.digit.united(places.mark).center();
        painter->setPen(Qt::NoPen);
        painter->setBrush(TimelinePainter::accentColor);
        painter->drawEllipse(QRect(centre.x() - diameter / 2, centre.y() - diameter / 2, diameter, diameter));
    }
    if (m_layout && m_layout->hasCalendarDay(date)) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(date == selectedDate() ? dayColor : TimelinePainter::accentColor);
        painter->drawEllipse(places.mark);
    }
    painter->setFont(dayFont());
    painter->setPen(inMonth && enabled ? dayColor : otherMonthColor);
    painter->drawText(places.origin, digits);
    painter->restore();
}

} // namespace OrvantaClient::GUI
