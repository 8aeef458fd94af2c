#include "sidebarroster.h"

#include "sidebarserver.h"
#include "model/server.h"
#include "stores/roster.h"

#include <QAbstractButton>
#include <QDebug>
#include <QMessageBox>
#include <QPointer>
#include <algorithm>

namespace OrvantaClient::GUI {

SideBarRoster::SideBarRoster(QWidget* parent)
    : CardHolder(parent)
{
    setObjectName(QStringLiteral("sideBarRoster"));
    App::Roster* roster = App::Roster::instance();
    connect(roster, &App::Roster::serverAdded, this, &SideBarRoster::onServerAdded);
    connect(roster, &App::Roster::serverRemoved, this, &SideBarRoster::onServerRemoved);
    connect(roster, &App::Roster::rosterUpdatingStarted, this, &SideBarRoster::onRosterUpdatingStarted);
    connect(roster, &App::Roster::rosterUpdatingFinished, this, &SideBarRoster::rosterUpdated);
    connect(roster, &App::Roster::rosterUpdatingError, this, &SideBarRoster::onRosterUpdatingError);

    for (const API::ServerPtr& server : roster->items()) {
        if (server->exists())
            createSection(server);
    }
    // A window opened before the store has loaded waits for it rather than
    // claiming that there is nothing.
    if (m_sections.empty() && (roster->isLoading() || !roster->isLoggedIn()))
        onRosterUpdatingStarted();
    else
        rosterUpdated();
}

void SideBarRoster::setFlatMode(bool enabled)
{
    m_flatMode = enabled;
    for (const auto& entry : m_sections)
        entry.second->setFlatMode(enabled);
}

void SideBarRoster::setAddToLayoutEnabled(bool enabled)
{
    m_addToLayoutEnabled = enabled;
    for (const auto& entry : m_sections)
        entry.second->setAddToLayoutEnabled(enabled);
}

void SideBarRoster::setSearchText(const QString& text)
{
    m_searchText = text;
    for (const auto& entry : m_sections)
        entry.second->setSearchText(text);
}

QList<SideBarServer*> SideBarRoster::sections() const
{
    QList<SideBarServer*> list;
    for (QWidget* card : cards()) {
        if (auto* section = qobject_cast<SideBarServer*>(card))
            list << section;
    }
    return list;
}

SideBarServer* SideBarRoster::section(const API::ServerPtr& server) const
{
    const auto it = m_sections.find(server);
    return it == m_sections.end() ? nullptr : it->second;
}

void SideBarRoster::onServerAdded(API::ServerPtr server)
{
    if (m_sections.count(server)) {
        qDebug() << "Skip creating view for server:" << server->name() << server->id();
        return;
    }
    createSection(server);
    rosterUpdated();
}

void SideBarRoster::onServerRemoved(API::ServerPtr server)
{
    const auto it = m_sections.find(server);
    if (it == m_sections.end()) {
        qDebug() << "Skip removing unexising view for server:" << server->name() << server->id();
        return;
    }
    SideBarServer* section = it->second;
    m_sections.erase(it);
    removeCard(section);
    section->hide();
    // The removal may come from the section's own menu.
    section->deleteLater();
    if (m_sections.empty()) {
        if (m_updating)
            showLoading();
        else
            showMessage(tr("No servers added"));
        return;
    }
    showSearchResult();
}

void SideBarRoster::deleteLocalServer(API::ServerPtr server)
{
    if (!server)
        return;
    // Its address and password would have to be typed in again.
    const QString name = fontMetrics().elidedText(server->name(), Qt::ElideRight, 240);
    QMessageBox question(QMessageBox::Question, tr("Delete a local video server"),
                         tr("Delete the local video server \"%1\"?").arg(name), QMessageBox::Yes | QMessageBox::Cancel,
                         window());
    question.setObjectName(QStringLiteral("deleteServerQuestion"));
    question.button(QMessageBox::Yes)->setText(tr("Delete"));
    question.setDefaultButton(QMessageBox::Cancel);
    QPointer<SideBarRoster> self(this);
    if (question.exec() != QMessageBox::Yes || !self || !server->exists())
        return;
    qDebug() << "Deleting local server" << server->id();
    App::Roster* roster = App::Roster::instance();
    roster->remove(server);
    roster->storeLocalRoster();
}

void SideBarRoster::onRosterUpdatingStarted()
{
    m_updating = true;
    if (m_sections.empty())
        showLoading();
}

void SideBarRoster::rosterUpdated()
{
    m_updating = false;
    if (m_sections.empty()) {
        showMessage(tr("No servers added"));
        return;
    }
    showCards();
    QList<SideBarServer*> sorted;
    for (const auto& entry : m_sections)
        sorted << entry.second;
    std::stable_sort(sorted.begin(), sorted.end(), [](const SideBarServer* a, const SideBarServer* b) {
        const bool aOnline = a->server()->isOnline();
        const bool bOnline = b->server()->isOnline();
        if (aOnline != bOnline)
            return aOnline;
        return a->name().compare(b->name(), Qt::CaseInsensitive) < 0;
    });
    setCardOrder(QList<QWidget*>(sorted.begin(), sorted.end()));
    for (SideBarServer* section : qAsConst(sorted))
        section->setSearchText(m_searchText);
}

void SideBarRoster::onRosterUpdatingError()
{
    m_updating = false;
    if (m_sections.empty())
        showMessage(tr("Server update error"));
}

void SideBarRoster::createSection(const API::ServerPtr& server)
{
    auto* section = new SideBarServer(server);
    section->setFlatMode(m_flatMode);
    section->setAddToLayoutEnabled(m_addToLayoutEnabled);
    connect(section, &SideBarServer::openCamera, this, &SideBarRoster::openCamera);
    connect(section, &SideBarServer::addToLayout, this, &SideBarRoster::addToLayout);
    connect(section, &SideBarServer::openInNewWindow, this, &SideBarRoster::openInNewWindow);
    connect(section, &SideBarServer::editLocalServer, this, &SideBarRoster::editLocalServer);
    connect(section, &SideBarServer::deleteLocalServer, this, &SideBarRoster::deleteLocalServer);
    connect(section, &SideBarServer::searchApplied, this, &SideBarRoster::showSearchResult);
    m_sections.emplace(server, section);
    addCard(section);
}

// A search that finds nothing says so, rather than leaving an empty list.
void SideBarRoster::showSearchResult()
{
    if (m_sections.empty())
        return; // "No servers added" or the loading spinner stays
    const bool found = std::any_of(m_sections.cbegin(), m_sections.cend(),
                                   [](const auto& entry) { return !entry.second->isHidden(); });
    if (m_searchText.isEmpty() || found)
        showCards();
    else
        showMessage(tr("Nothing found"));
}

} // namespace OrvantaClient::GUI
