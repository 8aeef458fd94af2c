#include "calendarpopup.h"
#include "timelinepainter.h"
#include "model/camera.h"
#include "model/layout.h"

#include <QAbstractItemView>
#include <QBoxLayout>
#include <QFile>
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

void CalendarPopup::paintCell(QPainter* painter, const QRect& rect, const QDate& date) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(rect, TimelinePainter::background);
    painter->setPen(lineColor);
    painter->drawLine(rect.topLeft(), rect.topRight());

    const bool inMonth = date.month() == monthShown() && date.year() == yearShown();
    const bool enabled = date >= minimumDate() && date <= maximumDate();
    const int diameter = qMin(rect.width(), rect.height()) - 6;
    const QRect circle(rect.center().x() - diameter / 2, rect.center().y() - diameter / 2, diameter, diameter);
    if (date == selectedDate()) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(TimelinePainter::accentColor);
        painter->drawEllipse(circle);
    }
    if (m_layout && m_layout->hasCalendarDay(date)) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(date == selectedDate() ? dayColor : TimelinePainter::accentColor);
        painter->drawEllipse(QPoint(rect.center().x(), circle.bottom() - 3), 2, 2);
    }
    QFont font(QStringLiteral("PT Sans"));
    font.setPixelSize(12);
    painter->setFont(font);
    painter->setPen(inMonth && enabled ? dayColor : otherMonthColor);
    painter->drawText(rect, Qt::AlignCenter, QString::number(date.day()));
    painter->restore();
}

} // namespace OrvantaClient::GUI
