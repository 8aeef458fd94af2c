#pragma once

#include "api/apiids.h"

#include <QMetaType>
#include <memory>

namespace OrvantaClient::API {

class Camera;
class Server;
class Layout;

using CameraPtr = std::shared_ptr<Camera>;
using ServerPtr = std::shared_ptr<Server>;
using LayoutPtr = std::shared_ptr<Layout>;

// A cell of a layout grid; (-1, -1) means no cell. Ordered by column first.
struct LayoutCellPoint
{
    int column = -1;
    int row = -1;

    LayoutCellPoint() = default;
    LayoutCellPoint(int column, int row) : column(column), row(row) {}

    bool operator==(const LayoutCellPoint& other) const { return column == other.column && row == other.row; }
    bool operator!=(const LayoutCellPoint& other) const { return !(*this == other); }
    bool operator<(const LayoutCellPoint& other) const
    {
        return column != other.column ? column < other.column : row < other.row;
    }
};

// The span of a cell: rows, then columns.
struct LayoutCellSize
{
    int rows = 1;
    int columns = 1;

    LayoutCellSize() = default;
    LayoutCellSize(int rows, int columns) : rows(rows), columns(columns) {}

    bool operator==(const LayoutCellSize& other) const { return rows == other.rows && columns == other.columns; }
    bool operator!=(const LayoutCellSize& other) const { return !(*this == other); }
};

// Registers the pointer and cell types under their "API::" spellings, which
// queued connections and signal signatures use. Safe to call repeatedly.
void registerMetaTypes();

} // namespace OrvantaClient::API

Q_DECLARE_METATYPE(OrvantaClient::API::CameraPtr)
Q_DECLARE_METATYPE(OrvantaClient::API::ServerPtr)
Q_DECLARE_METATYPE(OrvantaClient::API::LayoutPtr)
Q_DECLARE_METATYPE(OrvantaClient::API::LayoutCellPoint)
Q_DECLARE_METATYPE(OrvantaClient::API::LayoutCellSize)
