#pragma once

#include <QSize>
#include <QWidget>

namespace OrvantaClient::GUI {

// The small popup in which the user picks the grid size: 6 by 6 cells, the
// current size and the one under the pointer highlighted.
class GridSizeEditor : public QWidget
{
    Q_OBJECT
public:
    explicit GridSizeEditor(QWidget* parent = nullptr);

    static constexpr int maxCells = 6;
    // Rows and columns under a pointer position; (0, 0) outside the cells.
    static QSize hoveredSize(const QPoint& position, const QSize& editorSize);
    QSize hovered() const { return m_hovered; }

signals:
    void sizeSelected(int rows, int columns);

public slots:
    void setCurrentSize(int rows, int columns);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QSize m_current{1, 1}; // width = columns, height = rows
    QSize m_hovered{0, 0};
};

} // namespace OrvantaClient::GUI
