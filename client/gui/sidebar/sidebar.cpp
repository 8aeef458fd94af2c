#include "sidebar.h"

#include "sidebarlayouts.h"
#include "sidebarroster.h"
#include "sidebarsettings.h"
#include "sidebartours.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

SideBar::SideBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("sideBar"));
    setAttribute(Qt::WA_StyledBackground);
    setMinimumWidth(260);
    setMaximumWidth(360);
    setStyleSheet(QStringLiteral(
        "#sideBar { background: rgb(243, 244, 246); border-right: 1px solid rgb(229, 231, 235); }"
        "#sideBarTitle { color: rgb(17, 24, 39); font-size: 16px; font-weight: bold; }"
        "#searchEdit { background: white; border: 1px solid rgb(229, 231, 235); border-radius: 8px;"
        " padding: 6px 10px; color: rgb(31, 41, 55); }"
        "#searchEdit:focus { border-color: rgb(147, 197, 253); }"
        "#hideButton { border: none; border-radius: 6px; padding: 4px; }"
        "#hideButton:hover { background: rgb(229, 231, 235); }"
        "#hideButton:focus { border: 1px solid rgb(147, 197, 253); }"
        "#addLayoutButton { background: rgb(59, 130, 246); color: white; border: none; border-radius: 8px;"
        " padding: 8px; font-weight: bold; }"
        "#addLayoutButton:hover { background: rgb(37, 99, 235); }"
        "#addLayoutButton:focus { border: 2px solid rgb(147, 197, 253); }"
        "QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; border: none; }"));

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(14, 14, 14, 14);
    box->setSpacing(12);

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("searchEdit"));
    m_search->setClearButtonEnabled(true);
    m_search->addAction(QIcon(QStringLiteral(":/sidebar/icons/searchGlass.png")), QLineEdit::LeadingPosition);
    auto* shadow = new QGraphicsDropShadowEffect(m_search);
    shadow->setOffset(0, 1);
    shadow->setColor(QColor(208, 212, 218));
    shadow->setBlurRadius(5);
    m_search->setGraphicsEffect(shadow);
    connect(m_search, &QLineEdit::textChanged, this, &SideBar::onSearchTextChanged);
    top->addWidget(m_search, 1);
    m_title = new QLabel(tr("Settings"));
    m_title->setObjectName(QStringLiteral("sideBarTitle"));
    top->addWidget(m_title, 1);
    auto* hide = new QToolButton;
    hide->setObjectName(QStringLiteral("hideButton"));
    hide->setIcon(QIcon(QStringLiteral(":/sidebar/icons/hideBar.png")));
    hide->setToolTip(tr("Hide toolbars"));
    connect(hide, &QToolButton::clicked, this, &SideBar::hideRequest);
    top->addWidget(hide);
    box->addLayout(top);

    m_roster = new SideBarRoster;
    m_layouts = new SideBarLayouts;
    m_settings = new SideBarSettings;
    m_tours = new SideBarTours;
    m_pages = new QStackedWidget;
    m_pages->addWidget(scrolled(m_roster));
    auto* layoutsPage = new QWidget;
    auto* layoutsBox = new QVBoxLayout(layoutsPage);
    layoutsBox->setContentsMargins(0, 0, 0, 0);
    layoutsBox->setSpacing(12);
    m_addLayout = new QPushButton(tr("Add new layout"));
    m_addLayout->setObjectName(QStringLiteral("addLayoutButton"));
    m_addLayout->setCursor(Qt::PointingHandCursor);
    // Reached with Tab, not taken by a click: Space after a click still pauses.
    m_addLayout->setFocusPolicy(Qt::TabFocus);
    connect(m_addLayout, &QPushButton::clicked, this, &SideBar::addNewLayout);
    layoutsBox->addWidget(m_addLayout);
    layoutsBox->addWidget(m_tours);
    layoutsBox->addWidget(scrolled(m_layouts), 1);
    m_pages->addWidget(layoutsPage);
    m_pages->addWidget(scrolled(m_settings));
    box->addWidget(m_pages, 1);

    setRosterMode();
}

SideBar::Mode SideBar::mode() const
{
    return static_cast<Mode>(m_pages->currentIndex());
}

void SideBar::setCurrentLayout(API::LayoutPtr layout)
{
    m_layouts->setCurrentLayout(layout);
}

void SideBar::setRosterMode()
{
    m_pages->setCurrentIndex(RosterMode);
    m_title->hide();
    m_search->show();
    m_search->setPlaceholderText(tr("Search for cameras..."));
}

void SideBar::setLayoutsMode()
{
    m_pages->setCurrentIndex(LayoutsMode);
    m_title->hide();
    m_search->show();
    m_search->setPlaceholderText(tr("Search for layouts..."));
}

void SideBar::setSettingsMode()
{
    m_pages->setCurrentIndex(SettingsMode);
    m_search->hide();
    m_title->show();
}

void SideBar::onSearchTextChanged(const QString& text)
{
    m_searchText = text;
    m_roster->setSearchText(text);
    m_layouts->setSearchText(text);
}

QScrollArea* SideBar::scrolled(QWidget* page)
{
    auto* area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(page);
    return area;
}

} // namespace OrvantaClient::GUI
