#pragma once

#include "model/apitypes.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QTimer>
#include <QWidget>

class QGridLayout;

namespace OrvantaClient::GUI {

class PlayerNotification;
namespace Player {
class VideoWidget;
}

// The grid of the main window: a video widget for every occupied cell of the
// layout shown and a placeholder for every empty one, kept in step with the
// layout's signals. It takes drops of cameras, servers, layouts and cells, lets
// one cell fill the grid, stacks short notifications, and chooses each player's
// stream quality from the size its picture is shown at unless a fixed quality
// is set.
class LayoutWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int autoQuality = -1;

    explicit LayoutWidget(QWidget* parent = nullptr);
    ~LayoutWidget() override;

    void setLayout(API::LayoutPtr layout);
    API::LayoutPtr layout() const { return m_layout; }
    void setArchiveMode(bool archive);
    void setSoundEnabled(bool enabled);
    // 0, 1 or 2 for a fixed quality; autoQuality to choose by cell size. It is
    // every cell's: a quality a cell's menu chose gives way to it.
    void setQuality(int quality);
    int quality() const { return m_quality; }
    // One cell's own quality (autoQuality: chosen by its size), until the
    // grid's is set again; the grid's for a cell without one.
    void setCellQuality(Player::VideoWidget* player, int quality);
    int cellQuality(Player::VideoWidget* player) const;
    bool isMaximized() const { return m_maximized; }

    // Playback of the whole grid. Archive times are the common timeline's:
    // each player is started at it and then kept in step by syncArchive, which
    // holds back the cells ahead of the earliest one that plays.
    void playLive();
    void playArchive(const QDateTime& time, int speed);
    void syncArchive(int speed);
    void pause();
    void unpause();
    bool isPaused() const { return m_paused; }
    // The time of the picture shown: in the archive the common time of the
    // cells that play, else the active camera's player, else the first that has one.
    QDateTime playbackTime() const;

    // Only the active camera's player is heard.
    void setActiveCamera(API::CameraPtr camera);
    void setSoundVolume(int volume);

    Player::VideoWidget* player(const API::LayoutCellPoint& point) const { return m_players.value(point); }
    QList<Player::VideoWidget*> players() const { return m_players.values(); }
    QList<PlayerNotification*> notifications() const { return m_notifications; }

    // The stream for a picture shown this wide: light streams for small cells.
    static int qualityFor(int cellWidth, bool maximized, bool singleCell);
    // The grid a server drop needs: rows and columns after making room for extra cameras.
    static QSize grownSize(int rows, int columns, int extra);

    // The players in reading order (left to right, top to bottom), and the
    // active camera's player when it is in the grid.
    QList<Player::VideoWidget*> playersInOrder() const;
    Player::VideoWidget* activePlayer() const;
    // Maximises the cell of the n-th player in reading order (from 1), or returns
    // it to the grid when it is the one maximised; another cell than the one
    // maximised takes its place. A number without a player does nothing.
    void toggleMaximized(int number);
    // A maximised cell back to its place in the grid.
    void showGrid();
    Player::VideoWidget* maximizedPlayer() const;

    // The stream health over every cell, for the cells to come too.
    void setStreamHealthShown(bool shown);
    bool isStreamHealthShown() const { return m_healthShown; }

    void showExportDone(const QString& path);
    void showExportError();
    // A problem of the application that the user must learn of (plain text).
    void showProblem(const QString& text);

signals:
    void clicked(API::CameraPtr camera);
    void playbackTimeChanged();
    void layoutDropped(API::LayoutPtr layout);
    void cameraClosed(API::LayoutCellPoint point);
    void cameraDroppedFromLayout(API::LayoutCellPoint source, API::LayoutCellPoint destination);
    void cameraDroppedFromRoster(API::CameraPtr camera, API::LayoutCellPoint point);
    // A dropped server needs a bigger grid; the main window grows the layout it edits.
    void resizeRequested(int rows, int columns);
    // A new cell: the window adds its entries to the cell's menu.
    void playerCreated(Player::VideoWidget* player);

private slots:
    void showSnapshotHint(QString path);
    void showSnapshotError();
    void updateHintPositions();
    void onDoubleClicked(API::LayoutCellPoint point);
    void onCameraAdded(API::LayoutCellPoint point);
    void onCameraRemoved(API::LayoutCellPoint point);
    void onExchanged(API::LayoutCellPoint srcPoint, API::LayoutCellPoint dstPoint);
    void onResized();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void newGrid();
    // Stretch only the rows and columns of these cells; a null rectangle stretches all.
    void stretchCells(const QRect& cells);
    Player::VideoWidget* createPlayer(const API::LayoutCellPoint& point, int rowSpan, int columnSpan);
    QWidget* createPlaceholder(const API::LayoutCellPoint& point);
    void removeWidgetAt(int row, int column);
    // Players whose cell was emptied this turn of the event loop: a layout
    // refreshed from the service empties and refills its cells, and a camera
    // that comes back to its cell keeps its running player.
    void retirePlayer(const API::LayoutCellPoint& point);
    void flushRetired();
    PlayerNotification* notify(const QString& text, bool error);
    void setDropHighlight(bool on);
    // All cells shown (not maximised), or all hidden (one about to fill the grid).
    void setCellsVisible(bool visible);
    void maximize(const API::LayoutCellPoint& point);
    void updateHealth(Player::VideoWidget* player);
    void applyAutoQuality();
    int qualityFor(Player::VideoWidget* player) const;
    // The quality for a new player, from the cell it will get in the grid as sized now.
    int expectedQuality(int columnSpan) const;
    // The size a cell of this span gets in the grid as sized now.
    QSize expectedCellSize(int rowSpan, int columnSpan) const;

    QGridLayout* m_grid = nullptr;
    API::LayoutPtr m_layout;
    QMap<API::LayoutCellPoint, Player::VideoWidget*> m_players;
    QList<PlayerNotification*> m_notifications;
    bool m_archiveMode = false;
    bool m_soundEnabled = true;
    int m_quality = autoQuality;
    bool m_maximized = false;
    bool m_healthShown = false;
    bool m_paused = false;
    int m_volume = 50;
    int m_speed = 1;
    API::CameraPtr m_activeCamera;
    QTimer m_settle; // a resize has settled: choose qualities again
    QMap<API::LayoutCellPoint, Player::VideoWidget*> m_retired;

    // Archive playback in step: each cell's time and state when last looked
    // at over a window of a few seconds, so that a cell that stands still or
    // crawls is seen and holds nobody.
    struct ArchiveProgress
    {
        QDateTime time;
        int state = 0;
        QDateTime since;
        bool lagging = false;
    };
    static constexpr qint64 archivePaceWindowMs = 4000;
    void noteArchiveProgress();
    QDateTime commonArchiveTime() const;
    QHash<Player::VideoWidget*, ArchiveProgress> m_progress;
    QDateTime m_archiveTime; // where archive playback last was, for cells that join

};

} // namespace OrvantaClient::GUI
