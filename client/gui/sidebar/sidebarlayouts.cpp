#include "sidebarlayouts.h"

#include "layoutcard.h"
#include "model/layout.h"
#include "stores/layouts.h"

#include <QDebug>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace OrvantaClient::GUI {

SideBarLayouts::SideBarLayouts(QWidget* parent)
    : CardHolder(parent)
{
    setObjectName(QStringLiteral("sideBarLayouts"));
    App::Layouts* layouts = App::Layouts::instance();
    connect(layouts, &App::Layouts::layoutAdded, this, &SideBarLayouts::onLayoutAdded);
    connect(layouts, &App::Layouts::layoutRemoved, this, &SideBarLayouts::onLayoutRemoved);
    connect(layouts, &App::Layouts::layoutsUpdatingStarted, this, &SideBarLayouts::onLayoutsUpdatingStarted);
    connect(layouts, &App::Layouts::layoutsUpdatingFinished, this, &SideBarLayouts::layoutsUpdated);
    connect(layouts, &App::Layouts::layoutsUpdatingError, this, &SideBarLayouts::onLayoutsUpdatingError);

    for (const API::LayoutPtr& layout : layouts->items()) {
        if (layout->exists())
            createCard(layout);
    }
    if (m_cards.empty() && (layouts->isLoading() || !layouts->isLoggedIn()))
        onLayoutsUpdatingStarted();
    else
        layoutsUpdated();
}

void SideBarLayouts::setSearchText(const QString& text)
{
    m_searchText = text;
    applySearch();
}

void SideBarLayouts::setCurrentLayout(const API::LayoutPtr& layout)
{
    m_current = layout;
    markCurrent();
}

QList<LayoutCard*> SideBarLayouts::layoutCards() const
{
    QList<LayoutCard*> list;
    for (QWidget* widget : cards()) {
        if (auto* card = qobject_cast<LayoutCard*>(widget))
            list << card;
    }
    return list;
}

LayoutCard* SideBarLayouts::card(const API::LayoutPtr& layout) const
{
    const auto it = m_cards.find(layout);
    return it == m_cards.end() ? nullptr : it->second;
}

void SideBarLayouts::onLayoutAdded(API::LayoutPtr layout)
{
    if (m_cards.count(layout)) {
        qDebug() << "Skip creating view for layout:" << layout->name() << layout->id();
        return;
    }
    createCard(layout);
    layoutsUpdated();
}

void SideBarLayouts::onLayoutRemoved(API::LayoutPtr layout)
{
    const auto it = m_cards.find(layout);
    if (it == m_cards.end()) {
        qDebug() << "Skip removing unexising view for layout:" << layout->name() << layout->id();
        return;
    }
    LayoutCard* card = it->second;
    m_cards.erase(it);
    removeCard(card);
    card->hide();
    // The removal usually comes from the card's own menu.
    card->deleteLater();
    if (m_cards.empty()) {
        if (m_updating)
            showLoading();
        else
            showMessage(tr("No layouts added"));
        return;
    }
    applySearch();
}

void SideBarLayouts::deleteLayout(API::LayoutPtr layout)
{
    if (!layout)
        return;
    // The cameras and grid would have to be put together again.
    const QString name = fontMetrics().elidedText(layout->name(), Qt::ElideRight, 240);
    QMessageBox question(QMessageBox::Question, tr("Delete a layout"), tr("Delete layout \"%1\"?").arg(name),
                         QMessageBox::Yes | QMessageBox::Cancel, window());
    question.setObjectName(QStringLiteral("deleteLayoutQuestion"));
    question.button(QMessageBox::Yes)->setText(tr("Delete"));
    question.setDefaultButton(QMessageBox::Cancel);
    QPointer<SideBarLayouts> self(this);
    if (question.exec() != QMessageBox::Yes || !self || !layout->exists())
        return;
    qDebug() << "Deleting layout" << layout->id();
    App::Layouts::instance()->deleteLayout(layout);
}

void SideBarLayouts::onLayoutsUpdatingStarted()
{
    m_updating = true;
    if (m_cards.empty())
        showLoading();
}

void SideBarLayouts::layoutsUpdated()
{
    m_updating = false;
    if (m_cards.empty()) {
        showMessage(tr("No layouts added"));
        return;
    }
    showCards();
    QList<LayoutCard*> sorted;
    for (const auto& entry : m_cards)
        sorted << entry.second;
    std::stable_sort(sorted.begin(), sorted.end(), [](const LayoutCard* a, const LayoutCard* b) {
        return a->title().compare(b->title(), Qt::CaseInsensitive) < 0;
    });
    setCardOrder(QList<QWidget*>(sorted.begin(), sorted.end()));
    applySearch();
}

void SideBarLayouts::onLayoutsUpdatingError()
{
    m_updating = false;
    if (m_cards.empty())
        showMessage(tr("Layout update error"));
}

void SideBarLayouts::createCard(const API::LayoutPtr& layout)
{
    auto* card = new LayoutCard(layout);
    connect(card, &LayoutCard::openLayout, this, &SideBarLayouts::openLayout);
    connect(card, &LayoutCard::openInNewWindow, this, &SideBarLayouts::openInNewWindow);
    connect(card, &LayoutCard::deleteLayout, this, &SideBarLayouts::deleteLayout);
    m_cards.emplace(layout, card);
    addCard(card);
    markCurrent();
}

void SideBarLayouts::applySearch()
{
    bool found = false;
    for (const auto& entry : m_cards) {
        LayoutCard* card = entry.second;
        const bool shown = m_searchText.isEmpty() || card->title().contains(m_searchText, Qt::CaseInsensitive);
        card->setVisible(shown);
        found = found || shown;
    }
    if (m_cards.empty())
        return; // "No layouts added" or the loading spinner stays
    if (found)
        showCards();
    else
        showMessage(tr("Nothing found"));
}

void SideBarLayouts::markCurrent()
{
    for (const auto& entry : m_cards) {
        LayoutCard* card = entry.second;
        const bool current = m_current && entry.first == m_current;
        if (card->property("current").toBool() == current)
            continue;
        card->setProperty("current", current);
        card->style()->unpolish(card);
        card->style()->polish(card);
    }
}

} // namespace OrvantaClient::GUI
