#include "timeline.h"
#include "timelinepainter.h"
#include "timelinerange.h"
#include "timelinetooltip.h"
#include "gui/widgets/spinnerwidget.h"
#include "model/camera.h"
#include "model/layout.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPropertyAnimation>
#include <QWheelEvent>

#include <algorithm>

namespace OrvantaClient::GUI {

namespace Internal {

class TimelinePrivate
{
public:
    enum class Grab { None, StartEdge, EndEdge, Whole };

    API::LayoutPtr layout;
    API::CameraPtr camera;
    QDateTime position;
    QDateTime marker;
    TimelineRange range{QDate::currentDate()};
    QDateTime selectionStart;
    QDateTime selectionEnd;
    bool selecting = false;
    bool positionHidden = false;
    Grab grab = Grab::None;
    bool intervalsOutOfDate = true;
    bool recordsOutOfDate = true;
    QList<TimelinePainter::Spans> layoutSpans;
    TimelinePainter::Spans cameraSpans;
    int zoomLevel = 0;
    int wheelRemainder = 0;
    QImage intervals;

    int pressX = 0;
    int lastX = 0;
    QElapsedTimer pressTime;
    bool pressed = false;

    SpinnerWidget* spinner = nullptr;
    QLabel* status = nullptr;
    TimelineTooltip* tooltip = nullptr;
    QList<QPointer<QWidget>> tooltipObstacles;
    QPointer<QPropertyAnimation> startAnimation;
    QPointer<QPropertyAnimation> endAnimation;

    // Presses this close to the widget's ends do not grab the selection.
    static constexpr int deadZone = 9;
    static constexpr int edgeReach = 12;
    // The pointer this close to the ends of the axis means the end itself.
    static constexpr int snapReach = 3;

    Grab grabAt(int x, int width) const
    {
        if (x < deadZone || x > width - deadZone)
            return Grab::None;
        const int left = range.x(selectionStart, width);
        const int right = range.x(selectionEnd, width);
        const int toLeft = qAbs(x - left);
        const int toRight = qAbs(x - right);
        if (toLeft <= edgeReach || toRight <= edgeReach)
            return toLeft <= toRight ? Grab::StartEdge : Grab::EndEdge;
        if (x > left && x < right)
            return Grab::Whole;
        return Grab::None;
    }

    void convertRecords()
    {
        layoutSpans.clear();
        if (layout) {
            for (const API::CameraPtr& c : layout->cameras())
                layoutSpans.append(TimelinePainter::spans(c->records(range.day())));
        }
        cameraSpans = camera ? TimelinePainter::spans(camera->records(range.day())) : TimelinePainter::Spans();
        recordsOutOfDate = false;
    }
};

} // namespace Internal

using Internal::TimelinePrivate;

namespace {

// The animation framework has no interpolator of its own for date-times.
QVariant interpolateDateTime(const QDateTime& from, const QDateTime& to, qreal progress)
{
    return from.addMSecs(qRound64(from.msecsTo(to) * progress));
}

} // namespace

Timeline::Timeline(QWidget* parent) : QWidget(parent), d(std::make_shared<TimelinePrivate>())
{
    static const bool interpolatorRegistered = [] {
        qRegisterAnimationInterpolator<QDateTime>(interpolateDateTime);
        return true;
    }();
    Q_UNUSED(interpolatorRegistered)
    setMouseTracking(true);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);

    d->spinner = new SpinnerWidget(this);
    d->spinner->setFixedSize(16, 16);
    d->spinner->setRingWidth(2);
    d->spinner->hide();
    d->status = new QLabel(this);
    d->status->setObjectName(QStringLiteral("statusLabel"));
    d->status->setStyleSheet(QStringLiteral("color: white;"));
    d->status->setTextFormat(Qt::RichText);
    d->status->hide();
    connect(d->status, &QLabel::linkActivated, this, &Timeline::updateCamerasTimeline);
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 20, 0, 0);
    box->setSpacing(6);
    box->addStretch();
    box->addWidget(d->spinner);
    box->addWidget(d->status);
    box->addStretch();

    d->tooltip = new TimelineTooltip(this);
    d->tooltip->hide();
}

Timeline::~Timeline() = default;

API::LayoutPtr Timeline::layout() const { return d->layout; }

void Timeline::setLayout(const API::LayoutPtr& layout)
{
    if (layout == d->layout)
        return;
    if (d->layout) {
        disconnect(d->layout.get(), nullptr, this, nullptr);
        for (const API::CameraPtr& camera : d->layout->cameras())
            disconnect(camera.get(), &API::Camera::recordsError, this, &Timeline::onRecordsError);
    }
    d->layout = layout;
    if (layout) {
        connect(layout.get(), &API::Layout::camerasTimelineUpdated, this, &Timeline::onCamerasTimelineUpdated);
        connect(layout.get(), &API::Layout::cameraAdded, this, &Timeline::updateCameraTimeline);
        connect(layout.get(), &API::Layout::cameraRemoved, this, &Timeline::updateIntervals);
    }
    updateCamerasTimeline();
    updateIntervals();
}

API::CameraPtr Timeline::camera() const { return d->camera; }

void Timeline::setCamera(const API::CameraPtr& camera)
{
    if (camera == d->camera)
        return;
    d->camera = camera;
    updateIntervals();
}

QDate Timeline::date() const { return d->range.day(); }
QDateTime Timeline::position() const { return d->position; }

void Timeline::setPosition(const QDateTime& position)
{
    if (position == d->position)
        return;
    d->position = position;
    update();
}

bool Timeline::isPositionShown() const { return !d->positionHidden; }

void Timeline::setPositionShown(bool shown)
{
    if (shown == !d->positionHidden)
        return;
    d->positionHidden = !shown;
    update();
}

QDateTime Timeline::marker() const { return d->marker; }

void Timeline::setMarker(const QDateTime& time)
{
    if (time == d->marker)
        return;
    d->marker = time;
    update();
}

QDateTime Timeline::startValue() const { return d->range.start(); }
QDateTime Timeline::endValue() const { return d->range.end(); }

// The animations set the two ends one after the other, so a transient start
// past the old end must be taken as it is rather than reset to the whole day.
void Timeline::setStartValue(const QDateTime& start)
{
    if (!start.isValid())
        return;
    const QDateTime clamped = d->range.clampToDay(start);
    if (clamped == d->range.start())
        return;
    d->range.setRange(clamped, qMax(d->range.end(), clamped.addSecs(1)));
    redrawIntervals();
}

void Timeline::setEndValue(const QDateTime& end)
{
    if (!end.isValid())
        return;
    const QDateTime clamped = d->range.clampToDay(end);
    if (clamped == d->range.end())
        return;
    d->range.setRange(qMin(d->range.start(), clamped.addSecs(-1)), clamped);
    redrawIntervals();
}

int Timeline::zoomLevel() const { return d->zoomLevel; }

void Timeline::startSelection()
{
    const QDateTime reference = d->position.isValid() && d->position.date() == date() ? d->position : d->range.middle();
    QDateTime start = reference.addSecs(-selectionSecs / 2);
    start.setTime(QTime(start.time().hour(), start.time().minute()));
    start = qMax(start, d->range.dayStart());
    QDateTime end = start.addSecs(selectionSecs);
    if (end > d->range.dayEnd()) {
        end = d->range.dayEnd();
        start = end.addSecs(-selectionSecs);
    }
    d->selectionStart = start;
    d->selectionEnd = end;
    d->selecting = true;
    bringIntoView(start, end);
    update();
    emit selectionChanged(start, end);
}

// A selection off the visible range is brought to its middle, the span kept.
void Timeline::bringIntoView(const QDateTime& start, const QDateTime& end)
{
    if (d->range.contains(start) && d->range.contains(end))
        return;
    TimelineRange target = d->range;
    target.shift(target.middle().secsTo(start.addSecs(start.secsTo(end) / 2)));
    stopAnimations();
    d->startAnimation = new QPropertyAnimation(this, "startValue", this);
    d->endAnimation = new QPropertyAnimation(this, "endValue", this);
    d->startAnimation->setEndValue(target.start());
    d->endAnimation->setEndValue(target.end());
    for (auto* animation : {d->startAnimation.data(), d->endAnimation.data()}) {
        animation->setDuration(animationDuration);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

void Timeline::endSelection()
{
    if (!d->selecting)
        return;
    d->selecting = false;
    d->grab = TimelinePrivate::Grab::None;
    setCursor(Qt::OpenHandCursor);
    update();
}

bool Timeline::isSelecting() const { return d->selecting; }
QDateTime Timeline::selectionStart() const { return d->selectionStart; }
QDateTime Timeline::selectionEnd() const { return d->selectionEnd; }

bool Timeline::setSelection(const QDateTime& start, const QDateTime& end)
{
    if (!d->selecting || !start.isValid() || !end.isValid()) {
        qWarning() << "Timeline: no fragment is being selected";
        return false;
    }
    if (!(start < end)) {
        qWarning() << "Timeline: a fragment must end after it starts:" << start << end;
        return false;
    }
    if (d->range.clampToDay(start) != start || d->range.clampToDay(end) != end) {
        qWarning() << "Timeline: a fragment must lie within the day shown:" << start << end << date();
        return false;
    }
    d->selectionStart = start;
    d->selectionEnd = end;
    bringIntoView(start, end);
    update();
    emit selectionChanged(start, end);
    return true;
}

void Timeline::setTooltipObstacles(const QList<QWidget*>& widgets)
{
    d->tooltipObstacles.clear();
    for (QWidget* widget : widgets)
        d->tooltipObstacles << widget;
}

QString Timeline::statusText() const { return d->status->isVisibleTo(this) ? d->status->text() : QString(); }
bool Timeline::isLoading() const { return d->spinner->isSpinning(); }

int Timeline::x(const QDateTime& t) const { return d->range.x(t, width()); }
QDateTime Timeline::t(int x) const { return d->range.t(x, width()); }

QSize Timeline::sizeHint() const { return {600, 45}; }
QSize Timeline::minimumSizeHint() const { return {200, 45}; }

void Timeline::updateCamerasTimeline()
{
    if (!d->layout || d->layout->isEmpty()) {
        d->spinner->stop();
        d->spinner->hide();
        d->status->hide();
        return;
    }
    const QDate day = date();
    if (!d->layout->hasRecords(day)) {
        d->status->setText(tr("Loading recordings..."));
        d->status->show();
        d->spinner->show();
        d->spinner->start();
    }
    for (const API::CameraPtr& camera : d->layout->cameras()) {
        connect(camera.get(), &API::Camera::recordsError, this, &Timeline::onRecordsError, Qt::UniqueConnection);
        camera->requestTimeline(day);
    }
}

void Timeline::updateCameraTimeline(API::LayoutCellPoint point)
{
    if (!d->layout)
        return;
    const API::CameraPtr camera = d->layout->cell(point).camera;
    if (!camera)
        return;
    connect(camera.get(), &API::Camera::recordsError, this, &Timeline::onRecordsError, Qt::UniqueConnection);
    camera->requestTimeline(date());
}

void Timeline::onCamerasTimelineUpdated(QDate day)
{
    if (day != date())
        return;
    d->spinner->stop();
    d->spinner->hide();
    if (d->layout && !d->layout->hasRecords(day)) {
        const QLocale locale;
        // Cameras whose recordings the account may not see have none to find.
        const QList<API::CameraPtr> cameras = d->layout->cameras();
        const bool access = cameras.isEmpty()
            || std::any_of(cameras.begin(), cameras.end(),
                           [](const API::CameraPtr& camera) { return camera && camera->hasArchiveRight(); });
        d->status->setText(access ? tr("No recordings found for ") + day.toString(QStringLiteral("d")) + QLatin1Char(' ')
                                        + locale.monthName(day.month(), QLocale::LongFormat)
                                  : tr("No access to recordings"));
        d->status->show();
    } else {
        d->status->hide();
    }
    updateIntervals();
}

void Timeline::onRecordsError()
{
    d->spinner->stop();
    d->spinner->hide();
    d->status->setText(tr("Cannot load recordings.") + QStringLiteral(" <a style=\"color: white\" href=\"#\">")
                       + tr("Try again") + QStringLiteral("</a>"));
    d->status->show();
}

void Timeline::updateIntervals()
{
    d->recordsOutOfDate = true;
    redrawIntervals();
}

void Timeline::redrawIntervals()
{
    d->intervalsOutOfDate = true;
    update();
}

void Timeline::addMSecs(qlonglong msecs)
{
    if (!d->position.isValid())
        return;
    d->position = d->position.addMSecs(msecs);
    update();
}

void Timeline::zoomIn() { zoomAround(1, d->range.middle()); }
void Timeline::zoomOut() { zoomAround(-1, d->range.middle()); }

// A range the user or the panel chose wins over one still on its way.
void Timeline::stopAnimations()
{
    for (auto* animation : {d->startAnimation.data(), d->endAnimation.data()}) {
        if (animation)
            animation->stop();
    }
}

void Timeline::zoomAround(int steps, const QDateTime& anchor)
{
    stopAnimations();
    int level = d->zoomLevel;
    const bool changed = d->range.zoomBy(steps, anchor, level);
    d->zoomLevel = level;
    if (changed) {
        emit zoomed(level);
        redrawIntervals();
    }
}

// Levels beyond the slider's range are brought to its ends: steps could never
// reach them. A step that changes nothing also ends the walk.
void Timeline::zoom(int level)
{
    level = qBound(0, level, TimelineRange::maxLevel);
    for (int guard = 0; d->zoomLevel != level && guard <= TimelineRange::maxLevel; ++guard) {
        const int before = d->zoomLevel;
        const TimelineRange previous = d->range;
        if (d->zoomLevel < level)
            zoomIn();
        else
            zoomOut();
        if (d->zoomLevel == before && d->range.start() == previous.start() && d->range.end() == previous.end())
            break;
    }
}

void Timeline::changeDate(QDate newDate)
{
    if (!newDate.isValid() || newDate == date())
        return;
    stopAnimations();
    const qint64 daysMoved = date().daysTo(newDate);
    d->range.moveToDay(newDate);
    if (d->selecting) {
        d->selectionStart = d->range.clampToDay(d->selectionStart.addDays(daysMoved));
        d->selectionEnd = d->range.clampToDay(d->selectionEnd.addDays(daysMoved));
        emit selectionChanged(d->selectionStart, d->selectionEnd);
    }
    updateIntervals();
    updateCamerasTimeline();
}

void Timeline::paintEvent(QPaintEvent*)
{
    if (d->recordsOutOfDate)
        d->convertRecords();
    if (d->intervalsOutOfDate || d->intervals.size() != size()) {
        const bool several = d->layout && d->layout->camerasCount() > 1;
        d->intervals = TimelinePainter::intervals(d->range, size(), d->layoutSpans, d->cameraSpans, several);
        d->intervalsOutOfDate = false;
    }
    QPainter painter(this);
    painter.fillRect(rect(), TimelinePainter::background);
    painter.drawImage(0, 0, d->intervals);
    TimelinePainter::paintScale(painter, d->range, width(), font());

    const int h = height();
    if (!d->positionHidden && d->position.isValid() && d->range.contains(d->position)) {
        const int px = x(d->position);
        painter.setPen(QPen(TimelinePainter::positionColor, 1));
        painter.drawLine(px, 0, px, h);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(TimelinePainter::positionColor);
        const QPointF triangle[] = {{px - 4.5, 0}, {px + 5.5, 0}, {px + 0.5, 6}};
        painter.drawPolygon(triangle, 3);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if (d->selecting) {
        const int left = x(d->selectionStart);
        const int right = x(d->selectionEnd);
        QColor fill = TimelinePainter::accentColor;
        fill.setAlpha(127);
        painter.fillRect(QRect(left, h - 37, right - left, 37), fill);
        painter.setPen(QPen(TimelinePainter::accentColor, 1));
        painter.drawLine(left, h - 37, left, h);
        painter.drawLine(right, h - 37, right, h);
    }
    if (d->marker.isValid() && d->range.contains(d->marker)) {
        const int mx = x(d->marker);
        painter.setPen(QPen(TimelinePainter::accentColor, 1));
        painter.drawLine(mx, 0, mx, h);
    }
}

void Timeline::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    d->intervalsOutOfDate = true;
}

void Timeline::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int px = event->pos().x();
    d->grab = d->selecting ? d->grabAt(px, width()) : TimelinePrivate::Grab::None;
    if (d->selecting && d->grab == TimelinePrivate::Grab::None)
        return;
    stopAnimations();
    d->pressed = true;
    d->pressX = d->lastX = px;
    d->pressTime.start();
    if (!d->selecting)
        setCursor(Qt::ClosedHandCursor);
}

void Timeline::mouseMoveEvent(QMouseEvent* event)
{
    const int px = event->pos().x();
    const QDateTime under = d->range.clampToDay(t(px));
    d->tooltip->setTime(under.time());

    if (!d->pressed) {
        placeTooltip(px);
        if (d->selecting) {
            const auto grab = d->grabAt(px, width());
            const bool nearEdge = grab == TimelinePrivate::Grab::StartEdge || grab == TimelinePrivate::Grab::EndEdge;
            setCursor(nearEdge ? Qt::SplitHCursor : Qt::OpenHandCursor);
        }
        return;
    }
    const qint64 moved = t(d->lastX).secsTo(t(px));
    d->lastX = px;
    switch (d->grab) {
    case TimelinePrivate::Grab::StartEdge:
        d->selectionStart = qMin(under, d->selectionEnd.addSecs(-1));
        break;
    case TimelinePrivate::Grab::EndEdge:
        d->selectionEnd = qMax(under, d->selectionStart.addSecs(1));
        break;
    case TimelinePrivate::Grab::Whole: {
        const qint64 secs = qBound(d->selectionStart.secsTo(d->range.dayStart()), moved,
                                   d->selectionEnd.secsTo(d->range.dayEnd()));
        d->selectionStart = d->selectionStart.addSecs(secs);
        d->selectionEnd = d->selectionEnd.addSecs(secs);
        break;
    }
    case TimelinePrivate::Grab::None:
        if (d->range.shift(-moved))
            d->intervalsOutOfDate = true;
        break;
    }
    // While the selection is dragged the bubble tells what it has become.
    if (d->grab != TimelinePrivate::Grab::None)
        d->tooltip->setRange(d->selectionStart, d->selectionEnd);
    placeTooltip(px);
    if (d->grab != TimelinePrivate::Grab::None)
        emit selectionChanged(d->selectionStart, d->selectionEnd);
    update();
}

// Above the pointer where that covers none of the buttons beside the strip,
// else the nearest place along the strip that covers none; with no such
// place, inside the strip itself.
void Timeline::placeTooltip(int px)
{
    TimelineTooltip* tooltip = d->tooltip;
    const QRect wanted(mapToGlobal(QPoint(px - tooltip->width() / 2, -tooltip->height() - 2)), tooltip->size());
    QList<QRect> obstacles;
    for (const QPointer<QWidget>& widget : d->tooltipObstacles) {
        if (widget && widget->isVisible())
            obstacles << QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
    const int minLeft = mapToGlobal(QPoint(0, 0)).x();
    const std::optional<QPoint> place
        = TimelineTooltip::clearPlace(wanted, obstacles, minLeft, minLeft + width() - tooltip->width());
    tooltip->move(place ? *place : QPoint(qBound(minLeft, wanted.left(), minLeft + qMax(0, width() - tooltip->width())),
                                          mapToGlobal(QPoint(0, height() - tooltip->height() - 2)).y()));
    tooltip->show();
}

void Timeline::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !d->pressed)
        return;
    d->pressed = false;
    const int px = event->pos().x();
    const bool click = !d->selecting && qAbs(px - d->pressX) < clickDistance && d->pressTime.elapsed() < clickDuration;
    d->grab = TimelinePrivate::Grab::None;
    if (!d->selecting)
        setCursor(Qt::OpenHandCursor);
    if (click)
        emit clicked(d->range.clampToDay(t(px)));
}

void Timeline::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    event->accept();
    if (delta == 0)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        // One notch pans by an hour of the whole day's scale.
        const qint64 shift = qRound64(double(d->range.span()) * 1000.0 / 86400000.0 * 3600.0);
        if (d->range.shift(delta < 0 ? -shift : shift))
            redrawIntervals();
        return;
    }
    // Touchpads send fractions of a notch; they add up to whole steps.
    d->wheelRemainder += delta;
    const int steps = d->wheelRemainder / 120;
    d->wheelRemainder -= steps * 120;
    if (steps == 0)
        return;
    const int px = qRound(event->position().x());
    QDateTime anchor = d->range.clampToDay(t(px));
    if (px <= TimelineRange::axisLeft + TimelinePrivate::snapReach)
        anchor = d->range.start();
    else if (px >= width() - TimelineRange::axisRightMargin - TimelinePrivate::snapReach)
        anchor = d->range.end();
    zoomAround(steps, anchor);
}

void Timeline::hideEvent(QHideEvent* event)
{
    d->tooltip->hide();
    QWidget::hideEvent(event);
}

void Timeline::leaveEvent(QEvent* event)
{
    d->tooltip->hide();
    QWidget::leaveEvent(event);
}

} // namespace OrvantaClient::GUI
