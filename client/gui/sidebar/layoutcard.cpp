#include "layoutcard.h"

#include "model/layout.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>

namespace OrvantaClient::GUI {

LayoutCard::LayoutCard(API::LayoutPtr layout, QWidget* parent)
    : Card(parent)
    , m_layout(std::move(layout))
{
    setObjectName(QStringLiteral("layoutCard"));

    QAction* open = menu()->addAction(tr("Open"));
    open->setObjectName(QStringLiteral("openLayoutAction"));
    QAction* newWindow = menu()->addAction(tr("Open in new window"));
    newWindow->setObjectName(QStringLiteral("openInNewWindowAction"));
    QAction* remove = menu()->addAction(tr("Delete"));
    remove->setObjectName(QStringLiteral("deleteLayoutAction"));

    connect(open, &QAction::triggered, this, [this] { emit openLayout(m_layout); });
    connect(newWindow, &QAction::triggered, this, [this] { emit openInNewWindow(m_layout); });
    connect(remove, &QAction::triggered, this, [this] { emit deleteLayout(m_layout); });
    connect(this, &Card::clicked, this, [this] { emit openLayout(m_layout); });

    connect(m_layout.get(), &API::Layout::camerasPreviewUpdated, this, &LayoutCard::updateCard);
    connect(m_layout.get(), &API::Layout::layoutNameChanged, this, &LayoutCard::updateCard);
    connect(m_layout.get(), &API::Layout::resized, this, &LayoutCard::updateCard);
    updateCard();
}

void LayoutCard::updateCard()
{
    setTitle(m_layout->name());
    setPicture(m_layout->previewPixmap());
}

QMimeData* LayoutCard::dragData() const
{
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("layout"), m_layout->id().toUtf8());
    return mime;
}

} // namespace OrvantaClient::GUI
