#include "cardholder.h"

#include "spinnerwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

CardHolder::CardHolder(QWidget* parent)
    : QStackedWidget(parent)
{
    auto* cardsPage = new QWidget;
    m_cards = new QVBoxLayout(cardsPage);
    m_cards->setContentsMargins(0, 0, 0, 0);
    m_cards->setSpacing(15);
    addStretch();
    addWidget(cardsPage);

    auto* messagePage = new QWidget;
    auto* messageBox = new QVBoxLayout(messagePage);
    m_message = new QLabel;
    m_message->setObjectName(QStringLiteral("holderMessage"));
    m_message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: rgb(107, 114, 128); padding: 12px;"));
    messageBox->addWidget(m_message);
    messageBox->addStretch();
    addWidget(messagePage);

    auto* loadingPage = new QWidget;
    auto* loadingBox = new QVBoxLayout(loadingPage);
    auto* spinnerRow = new QHBoxLayout;
    m_spinner = new SpinnerWidget;
    m_spinner->setColor(QColor(156, 163, 175));
    spinnerRow->addStretch();
    spinnerRow->addWidget(m_spinner);
    spinnerRow->addStretch();
    loadingBox->addLayout(spinnerRow);
    loadingBox->addStretch();
    addWidget(loadingPage);

    setCurrentIndex(CardsPage);
}

void CardHolder::showCards()
{
    m_spinner->stop();
    setCurrentIndex(CardsPage);
}

void CardHolder::showMessage(const QString& text)
{
    m_spinner->stop();
    m_message->setText(text);
    setCurrentIndex(MessagePage);
}

void CardHolder::showLoading()
{
    m_spinner->start();
    setCurrentIndex(LoadingPage);
}

void CardHolder::addCard(QWidget* card)
{
    // The stretch is always the last item.
    m_cards->insertWidget(qMax(0, m_cards->count() - 1), card);
}

void CardHolder::addCards(const QList<QWidget*>& cards)
{
    m_cards->setEnabled(false);
    for (QWidget* card : cards) {
        addCard(card);
        if (!(card->isHidden() && card->testAttribute(Qt::WA_WState_ExplicitShowHide)))
            card->show();
    }
    m_cards->setEnabled(true);
    m_cards->activate();
}

void CardHolder::removeCard(QWidget* card)
{
    m_cards->removeWidget(card);
}

void CardHolder::setCardOrder(const QList<QWidget*>& cards)
{
    // Laying thousands of cards out again costs; a list re-sorted into the
    // same order is left alone.
    if (cards == this->cards())
        return;
    takeAllItems();
    for (QWidget* card : cards)
        m_cards->addWidget(card);
    addStretch();
}

void CardHolder::addStretch()
{
    m_cards->addStretch();
}

QList<QWidget*> CardHolder::cards() const
{
    QList<QWidget*> list;
    for (int i = 0; i < m_cards->count(); ++i) {
        if (QWidget* card = m_cards->itemAt(i)->widget())
            list << card;
    }
    return list;
}

QString CardHolder::message() const
{
    return m_message->text();
}

bool CardHolder::isLoading() const
{
    return currentIndex() == LoadingPage && m_spinner->isSpinning();
}

void CardHolder::takeAllItems()
{
    while (QLayoutItem* item = m_cards->takeAt(0))
        delete item; // a widget item only: the widget itself stays
}

} // namespace OrvantaClient::GUI
