#pragma once

#include <QList>
#include <QStackedWidget>

class QLabel;
class QVBoxLayout;

namespace OrvantaClient::GUI {

class SpinnerWidget;

// A list of cards that can give way to a message ("nothing here", "failed") or
// to a loading spinner. The cards stay owned by the holder on every page.
class CardHolder : public QStackedWidget
{
    Q_OBJECT
public:
    enum Page { CardsPage = 0, MessagePage = 1, LoadingPage = 2 };

    explicit CardHolder(QWidget* parent = nullptr);

    void showCards();
    void showMessage(const QString& text);
    void showLoading();

    // Appends a card before the final stretch.
    void addCard(QWidget* card);
    // Appends many cards, laid out once. Each is shown unless hidden on purpose
    // (hide() before): one by one, every card shown would lay out all the others.
    void addCards(const QList<QWidget*>& cards);
    // Takes a card out of the list; the caller decides its fate.
    void removeCard(QWidget* card);
    // Lays the given cards out in this order, followed by the final stretch.
    void setCardOrder(const QList<QWidget*>& cards);
    void addStretch();
    // The cards in the order they are laid out.
    QList<QWidget*> cards() const;

    Page page() const { return static_cast<Page>(currentIndex()); }
    QString message() const;
    bool isLoading() const;

private:
    void takeAllItems();

    QVBoxLayout* m_cards;
    QLabel* m_message;
    SpinnerWidget* m_spinner;
};

} // namespace OrvantaClient::GUI
