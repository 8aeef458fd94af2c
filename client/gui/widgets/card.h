#pragma once

#include <QFrame>
#include <QPixmap>
#include <QPoint>

class QLabel;
class QMenu;
class QMimeData;
class QToolButton;

namespace OrvantaClient::GUI {

class SpinnerWidget;

// A rounded tile of the side bar: a picture, a state indicator, a title and a
// menu button. A click emits clicked(); the menu opens from the button or with
// a right click; dragging hands the card's item to whoever accepts it.
class Card : public QFrame
{
    Q_OBJECT
public:
    explicit Card(QWidget* parent = nullptr);

    QString title() const { return m_title; }
    QMenu* menu() const { return m_menu; }

    static constexpr int pressShift = 2;

signals:
    void clicked();

public slots:
    void setTitle(QString title);

protected:
    void setPicture(const QPixmap& picture);
    void setIndicator(const QPixmap& indicator);
    void startSpinner();
    void stopSpinner();
    bool isSpinning() const;

    // What a drag of this card carries; null when the card cannot be dragged.
    virtual QMimeData* dragData() const { return nullptr; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void on_Card_customContextMenuRequested(QPoint pos);

private:
    void unshift();

    QString m_title;
    QPixmap m_pixmap;
    QLabel* m_picture;
    QLabel* m_indicator;
    QLabel* m_titleLabel;
    QToolButton* m_menuButton;
    QMenu* m_menu;
    SpinnerWidget* m_spinner;
    QPoint m_pressPos;
    bool m_pressed = false;
    bool m_shifted = false;
};

} // namespace OrvantaClient::GUI
