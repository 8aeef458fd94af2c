#pragma once

#include "gui/widgets/card.h"
#include "model/apitypes.h"

namespace OrvantaClient::GUI {

// A layout of the account: its name and a small picture of its grid.
class LayoutCard : public Card
{
    Q_OBJECT
public:
    explicit LayoutCard(API::LayoutPtr layout, QWidget* parent = nullptr);

    API::LayoutPtr layout() const { return m_layout; }

signals:
    void openLayout(API::LayoutPtr layout);
    void openInNewWindow(API::LayoutPtr layout);
    void deleteLayout(API::LayoutPtr layout);

public slots:
    void updateCard();

protected:
    QMimeData* dragData() const override;

private:
    API::LayoutPtr m_layout;
};

} // namespace OrvantaClient::GUI
