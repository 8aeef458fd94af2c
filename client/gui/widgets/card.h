#pragma once

#include <QFrame>
#include <QPixmap>
#include <QPoint>
#include <memory>

class QMenu;
class QMimeData;

namespace OrvantaClient::GUI {

class CardPrivate;

// A rounded tile of the side bar: a picture, a state indicator, a title and a
// menu button. A click emits clicked(); the menu opens from the button or with
// a right click; dragging hands the card's item to whoever accepts it.
//
// A list may hold thousands of cards, of which a handful are on screen: a card
// is a bare frame until it is first painted, builds its labels, spinner and
// style then, and drops them again a while after it left the screen. Its
// title, picture and menu live on either way.
class Card : public QFrame
{
    Q_OBJECT
public:
    explicit Card(QWidget* parent = nullptr);
    ~Card() override;

    QString title() const;
    // Made on first use, by fillMenu().
    QMenu* menu() const;
    // Whether the card has its labels and style (it is or was lately on screen).
    bool isBuilt() const;
    // Whether the card has stayed within its window's visible area for a moment.
    bool isOnScreen() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int pressShift = 2;
    // How long a card must stay in view to count as on screen, and how often
    // a card on screen checks whether it still is.
    static constexpr int settleMs = 250;
    static constexpr int recheckMs = 1000;

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
    // Puts the actions into the card's menu when it is made.
    virtual void fillMenu(QMenu* menu) { Q_UNUSED(menu) }
    // The card came on screen or left it (scrolled away, hidden, folded away).
    virtual void onScreenChanged(bool onScreen) { Q_UNUSED(onScreen) }

    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void build();
    void tearDown();
    void checkOnScreen();
    void setOnScreen(bool onScreen);
    bool isInView() const;
    void unshift();

    std::unique_ptr<CardPrivate> d;
};

} // namespace OrvantaClient::GUI
