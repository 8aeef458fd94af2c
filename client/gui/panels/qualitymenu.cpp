#include "qualitymenu.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QWidgetAction>

namespace OrvantaClient::GUI {

namespace {

const char entryStyle[] =
    "QRadioButton { padding-left: 10px; padding-right: 10px; padding-top: 4px; padding-bottom: 4px;"
    " background-color: white; color: black; }"
    "QRadioButton:hover { background-color: rgb(62, 183, 253); color: white; }";

} // namespace

QualityMenu::QualityMenu(QWidget* parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("qualityMenu"));
    addEntry(tr("Low"), false);
    addEntry(tr("Middle"), false);
    addEntry(tr("High"), false);
    addEntry(tr("Auto"), true);
}

void QualityMenu::addEntry(const QString& text, bool checked)
{
    auto* action = new QWidgetAction(this);
    auto* button = new QRadioButton(text, this);
    button->setFocusPolicy(Qt::NoFocus);
    button->setChecked(checked);
    button->setStyleSheet(QLatin1String(entryStyle));
    // The buttons of a menu share no parent widget, so they need a group to
    // exclude one another.
    auto* group = findChild<QButtonGroup*>();
    if (!group)
        group = new QButtonGroup(this);
    group->addButton(button);
    action->setDefaultWidget(button);
    action->setText(text);
    addAction(action);
    m_buttons.append(button);

    connect(button, &QRadioButton::clicked, this, [this, action] {
        action->trigger();
        close();
    });
}

QAction* QualityMenu::entryAction(Entry entry) const
{
    return actions().value(entry);
}

QRadioButton* QualityMenu::entryButton(Entry entry) const
{
    return m_buttons.value(entry);
}

QualityMenu::Entry QualityMenu::checkedEntry() const
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons.at(i)->isChecked())
            return Entry(i);
    }
    return Auto;
}

} // namespace OrvantaClient::GUI
