#include "toolbar.h"

#include <QButtonGroup>
#include <QToolButton>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

ToolBar::ToolBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("toolBar"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedWidth(76);
    setStyleSheet(QStringLiteral(
        "#toolBar { background: rgb(31, 35, 41); }"
        "QToolButton { color: rgb(156, 163, 175); background: transparent; border: none; border-radius: 8px;"
        " padding: 8px 2px; font-size: 11px; }"
        "QToolButton:hover { background: rgb(47, 52, 60); color: white; }"
        "QToolButton:checked { background: rgb(59, 130, 246); color: white; }"
        "QToolButton:focus { border: 1px solid rgb(147, 197, 253); }"));

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(6, 12, 6, 12);
    box->setSpacing(8);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    m_live = addButton(QStringLiteral("camerasButton"), tr("Cameras"), QStringLiteral("toolCameras"));
    m_layouts = addButton(QStringLiteral("layoutsButton"), tr("Layouts"), QStringLiteral("toolLayouts"));
    m_settings = addButton(QStringLiteral("settingsButton"), tr("Settings"), QStringLiteral("toolSettings"));
    box->addWidget(m_live);
    box->addWidget(m_layouts);
    box->addStretch();
    box->addWidget(m_settings);

    connect(m_live, &QToolButton::clicked, this, &ToolBar::liveClicked);
    connect(m_layouts, &QToolButton::clicked, this, &ToolBar::layoutsClicked);
    connect(m_settings, &QToolButton::clicked, this, &ToolBar::settingsClicked);
    setRosterMode();
}

QToolButton* ToolBar::addButton(const QString& name, const QString& text, const QString& icon)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(QIcon(QStringLiteral(":/sidebar/icons/%1.png").arg(icon)));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setCheckable(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setCursor(Qt::PointingHandCursor);
    // Reached with Tab, not taken by a click: a click leaves the keys where they were.
    button->setFocusPolicy(Qt::TabFocus);
    m_group->addButton(button);
    return button;
}

void ToolBar::setRosterMode()
{
    m_live->setChecked(true);
}

void ToolBar::setLayoutsMode()
{
    m_layouts->setChecked(true);
}

void ToolBar::setSettingsMode()
{
    m_settings->setChecked(true);
}

} // namespace OrvantaClient::GUI
