#pragma once

#include "model/apitypes.h"

#include <QWidget>

namespace OrvantaClient::GUI::Player {

// An empty cell of the grid: it takes cameras dropped from the roster and cells
// dragged from elsewhere in the grid.
class VideoPlaceholder : public QWidget
{
    Q_OBJECT
public:
    explicit VideoPlaceholder(QWidget* parent = nullptr);

    API::LayoutCellPoint position() const { return m_position; }
    void setPosition(API::LayoutCellPoint point) { m_position = point; }
    void setSpan(API::LayoutCellSize span) { m_span = span; }
    QSize sizeHint() const override { return QSize(534, 401); }

signals:
    void droppedFromRoster(API::CameraPtr camera, API::LayoutCellPoint point);
    void droppedFromLayout(API::LayoutCellPoint source, API::LayoutCellPoint destination);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setDropHighlight(bool on);

    API::LayoutCellPoint m_position;
    API::LayoutCellSize m_span;
};

} // namespace OrvantaClient::GUI::Player
