#pragma once

#include "apiitem.h"
#include "apitypes.h"

#include <QDate>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QPixmap>
#include <functional>

namespace OrvantaClient::API {

// How a layout read from JSON finds the servers of its cells. The roster store
// hands in one that answers with its own objects, or with placeholders it holds
// and fills when the servers arrive, so that a layout's cameras are the roster's.
// A cell whose server the lookup does not give is left out.
using ServerLookup = std::function<ServerPtr(const server_id_t&)>;

// A named grid of rows by columns whose cells show cameras. It gathers the
// preview, records and calendar signals of its cameras into its own, so the
// timeline listens to one object.
class Layout : public QObject, public ApiItem<layout_id_t>
{
    Q_OBJECT
public:
    struct Cell
    {
        CameraPtr camera;
        int column = 0;
        int row = 0;
        int w = 1;
        int h = 1;
    };

    // The grid sizes a layout can have; stored or received values outside are
    // brought inside, so that a damaged layout cannot make the grid unusable.
    static constexpr int minSize = 1;
    static constexpr int maxSize = 16;

    Layout();
    Layout(const QJsonObject& json, const ServerLookup& servers);
    Layout(const Layout& other);
    ~Layout() override;

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    int camerasCount() const { return m_cells.size(); }
    bool isEmpty() const { return m_cells.isEmpty(); }
    CameraPtr firstCamera() const;
    QList<CameraPtr> cameras() const;
    QList<Cell> cells() const { return m_cells.values(); }
    Cell cell(const LayoutCellPoint& point) const;
    LayoutCellPoint firstFreeCell() const;
    int freeCellsCount() const;

    void resize(int rows, int columns);
    // The cameras a resize to rows by columns would take out, row by row.
    QList<CameraPtr> camerasOutside(int rows, int columns) const;
    void addCamera(const CameraPtr& camera, int row, int column, int w, int h);
    void addCamera(const CameraPtr& camera);
    void removeCamera(const LayoutCellPoint& point);
    void exchange(const LayoutCellPoint& a, const LayoutCellPoint& b);

    void update(const Layout& other);
    void fromJson(const QJsonObject& json, const ServerLookup& servers);
    QJsonObject toJson() const;

    bool hasRecords(const QDate& date) const;
    bool hasCalendarDay(const QDate& date) const;
    QPixmap previewPixmap() const;

signals:
    void layoutNameChanged(QString name);
    void layoutRemoved();
    void resized();
    void cameraAdded(API::LayoutCellPoint point);
    void cameraRemoved(API::LayoutCellPoint point);
    void exchanged(API::LayoutCellPoint a, API::LayoutCellPoint b);
    void camerasPreviewUpdated();
    void camerasTimelineUpdated(QDate date);
    void camerasCalendarUpdated(QDate start, QDate end);

protected:
    void onNameChanged() override;
    void onExistsChanged(bool exists) override;

private:
    void connectCamera(const CameraPtr& camera);
    QPixmap cellPicture(const Cell& cell, const QSize& size) const;

    QMap<LayoutCellPoint, Cell> m_cells;
    int m_rows = 1;
    int m_columns = 1;
};

} // namespace OrvantaClient::API
