#pragma once

#include "model/apitypes.h"

#include <Qt>

class QMimeData;
class QObject;

namespace OrvantaClient::GUI::Player {

// What cells and roster cards carry while dragged: "layout-swap" (the source
// cell's row, then column) and "camera" (server id, then camera id), both
// written with QDataStream. A dragged cell also names the grid it left
// ("layout-swap-grid"), since its row and column mean nothing in another
// window's grid, and carries its camera, which another window may take.
class DragData
{
public:
    static QMimeData* cell(const API::LayoutCellPoint& source, const API::CameraPtr& camera, const QObject* grid);
    // The dragged cell, or (-1, -1) when the data holds none.
    static API::LayoutCellPoint swapSource(const QMimeData* mime);
    // Whether the data is a cell of this grid. A cell that names no grid
    // counts as one of this grid.
    static bool isSwapWithin(const QMimeData* mime, const QObject* grid);
    // What a drop on the cell at target of grid does: a cell of this grid
    // moves (swaps), a cell of another grid or a roster card copies its
    // camera, anything else (the dragged cell itself too) is refused.
    static Qt::DropAction dropAction(const QMimeData* mime, const QObject* grid, const API::LayoutCellPoint& target);
    // The dragged camera as the roster holds it, or null.
    static API::CameraPtr camera(const QMimeData* mime);
};

} // namespace OrvantaClient::GUI::Player
