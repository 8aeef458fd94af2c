#pragma once

#include "model/apitypes.h"

class QMimeData;

namespace OrvantaClient::GUI::Player {

// What cells and roster cards carry while dragged: "layout-swap" (the source
// cell's row, then column) and "camera" (server id, then camera id), both
// written with QDataStream.
class DragData
{
public:
    static QMimeData* swap(const API::LayoutCellPoint& source);
    // The dragged cell, or (-1, -1) when the data holds none.
    static API::LayoutCellPoint swapSource(const QMimeData* mime);
    // The dragged camera as the roster holds it, or null.
    static API::CameraPtr camera(const QMimeData* mime);
};

} // namespace OrvantaClient::GUI::Player
