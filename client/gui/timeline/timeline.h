#pragma once

#include "model/apitypes.h"

#include <QDate>
#include <QDateTime>
#include <QWidget>
#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class TimelinePrivate;
}

// The strip under the grid in archive mode: one day of the layout's records,
// an hour scale that refines as the user zooms, the playback position and,
// while a fragment is picked for export, the selected range.
class Timeline : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QDateTime startValue READ startValue WRITE setStartValue)
    Q_PROPERTY(QDateTime endValue READ endValue WRITE setEndValue)
public:
    explicit Timeline(QWidget* parent = nullptr);
    ~Timeline() override;

    API::LayoutPtr layout() const;
    void setLayout(const API::LayoutPtr& layout);
    API::CameraPtr camera() const;
    void setCamera(const API::CameraPtr& camera);

    QDate date() const;
    QDateTime position() const;
    void setPosition(const QDateTime& position);
    bool isPositionShown() const;
    void setPositionShown(bool shown);
    // One more marker line; an invalid time removes it.
    QDateTime marker() const;
    void setMarker(const QDateTime& time);

    QDateTime startValue() const;
    void setStartValue(const QDateTime& start);
    QDateTime endValue() const;
    void setEndValue(const QDateTime& end);
    int zoomLevel() const;

    // Fragment selection for export.
    void startSelection();
    void endSelection();
    bool isSelecting() const;
    QDateTime selectionStart() const;
    QDateTime selectionEnd() const;
    // A fragment typed in rather than dragged: refused (false, and logged)
    // unless it ends after it starts, on the timeline's day, while selecting.
    bool setSelection(const QDateTime& start, const QDateTime& end);

    // Widgets next to the strip that the hover bubble must leave uncovered.
    void setTooltipObstacles(const QList<QWidget*>& widgets);

    // The status text shown over the strip, empty when none; for tests.
    QString statusText() const;
    bool isLoading() const;

    // Time and position on the axis at the current width.
    int x(const QDateTime& t) const;
    QDateTime t(int x) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int animationDuration = 500;
    static constexpr int clickDistance = 4;
    static constexpr int clickDuration = 333;
    static constexpr int selectionSecs = 300;

signals:
    void clicked(QDateTime time);
    void zoomed(int level);
    void selectionChanged(QDateTime start, QDateTime end);

public slots:
    void updateCamerasTimeline();
    void updateCameraTimeline(API::LayoutCellPoint point);
    void onCamerasTimelineUpdated(QDate date);
    void updateIntervals();
    void addMSecs(qlonglong msecs);
    void zoomIn();
    void zoomOut();
    void zoom(int level);
    void changeDate(QDate newDate);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onRecordsError();
    void zoomAround(int steps, const QDateTime& anchor);
    // The range changed but the records did not.
    void redrawIntervals();
    void stopAnimations();
    void bringIntoView(const QDateTime& start, const QDateTime& end);
    void placeTooltip(int px);

    std::shared_ptr<Internal::TimelinePrivate> d;
};

} // namespace OrvantaClient::GUI
