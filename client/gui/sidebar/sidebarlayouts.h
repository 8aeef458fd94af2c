#pragma once

#include "gui/widgets/cardholder.h"
#include "model/apitypes.h"

#include <map>

namespace OrvantaClient::GUI {

class LayoutCard;

// The layout list: a card per layout of the layouts store, by name.
class SideBarLayouts : public CardHolder
{
    Q_OBJECT
public:
    explicit SideBarLayouts(QWidget* parent = nullptr);

    void setSearchText(const QString& text);
    // Marks the card of the layout on screen; null marks none.
    void setCurrentLayout(const API::LayoutPtr& layout);

    // The cards in the order they are shown.
    QList<LayoutCard*> layoutCards() const;
    LayoutCard* card(const API::LayoutPtr& layout) const;

signals:
    void openLayout(API::LayoutPtr layout);
    void openInNewWindow(API::LayoutPtr layout);

private slots:
    void onLayoutAdded(API::LayoutPtr layout);
    void onLayoutRemoved(API::LayoutPtr layout);
    void deleteLayout(API::LayoutPtr layout);
    void onLayoutsUpdatingStarted();
    void layoutsUpdated();
    void onLayoutsUpdatingError();

private:
    void createCard(const API::LayoutPtr& layout);
    void applySearch();
    void markCurrent();

    std::map<API::LayoutPtr, LayoutCard*> m_cards;
    bool m_updating = false;
    QString m_searchText;
    API::LayoutPtr m_current;
};

} // namespace OrvantaClient::GUI
