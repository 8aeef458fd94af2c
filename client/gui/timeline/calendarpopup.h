#pragma once

#include "model/apitypes.h"

#include <QCalendarWidget>

namespace OrvantaClient::GUI {

// The calendar that drops down from the archive panel's date field. Days on
// which any camera of the layout recorded something carry a mark.
class CalendarPopup : public QCalendarWidget
{
    Q_OBJECT
public:
    explicit CalendarPopup(QWidget* parent = nullptr);

    API::LayoutPtr layout() const { return m_layout; }
    void setLayout(const API::LayoutPtr& layout);

    // Months of calendar asked for when a camera comes, counted back from
    // the current month, which is included.
    static constexpr int monthsBack = 3;

    // Where a day's digits and its recordings mark sit in a cell of the given
    // rectangle: the digits' glyph box, the mark's box below it and the
    // point on the baseline the digits are drawn from.
    struct DayPlaces
    {
        QRect digit;
        QRect mark;
        QPoint origin;
    };
    static DayPlaces dayPlaces(const QRect& cell, const QString& digits);
    static QFont dayFont();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void updateCameraCalendar(API::LayoutCellPoint point);

protected:
    void paintCell(QPainter* painter, const QRect& rect, const QDate& date) const override;

private:
    int spacersHeight() const;
    void onPageChanged(int year, int month);
    void repaintDays();

    API::LayoutPtr m_layout;
};

} // namespace OrvantaClient::GUI
