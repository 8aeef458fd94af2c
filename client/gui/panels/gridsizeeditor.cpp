#include "gridsizeeditor.h"

#include <QMouseEvent>
#include <QPainter>

namespace OrvantaClient::GUI {

namespace {

const QColor background(41, 44, 49);
const QColor cellColour(66, 71, 80);
const QColor currentColour(120, 128, 140);
const QColor hoverColour(62, 183, 253);

} // namespace

GridSizeEditor::GridSizeEditor(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    setFixedSize(104, 92);
}

QSize GridSizeEditor::hoveredSize(const QPoint& position, const QSize& editorSize)
{
    const int x = position.x(), y = position.y();
    if (x < 10 || x > editorSize.width() - 10 || y < 10 || y > editorSize.height() - 10)
        return QSize(0, 0);
    // The thin strip by the right and lower edges would give a 7th cell.
    const int rows = qMin(maxCells, int((y - 10) / 12.0 + 1));
    const int columns = qMin(maxCells, int((x - 10) / 14.0 + 1));
    return QSize(columns, rows);
}

void GridSizeEditor::setCurrentSize(int rows, int columns)
{
    m_current = QSize(columns, rows);
    update();
}

void GridSizeEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(rect(), 4, 4);
    for (int row = 0; row < maxCells; ++row) {
        for (int column = 0; column < maxCells; ++column) {
            QColor colour = cellColour;
            if (row < m_current.height() && column < m_current.width())
                colour = currentColour;
            if (row < m_hovered.height() && column < m_hovered.width())
                colour = hoverColour;
            painter.setBrush(colour);
            painter.drawRoundedRect(QRect(10 + 14 * column, 10 + 12 * row, 12, 10), 2, 2);
        }
    }
}

void GridSizeEditor::mouseMoveEvent(QMouseEvent* event)
{
    m_hovered = hoveredSize(event->pos(), size());
    update();
}

void GridSizeEditor::mouseReleaseEvent(QMouseEvent* event)
{
    m_hovered = hoveredSize(event->pos(), size());
    if (m_hovered.width() > 0 && m_hovered.height() > 0)
        emit sizeSelected(m_hovered.height(), m_hovered.width());
    close();
}

void GridSizeEditor::leaveEvent(QEvent*)
{
    m_hovered = QSize(0, 0);
    update();
}

void GridSizeEditor::hideEvent(QHideEvent*)
{
    // A size picked and then refused must not show as picked when the popup opens again.
    m_hovered = QSize(0, 0);
}

} // namespace OrvantaClient::GUI
