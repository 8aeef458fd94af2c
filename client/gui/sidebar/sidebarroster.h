#pragma once

#include "gui/widgets/cardholder.h"
#include "model/apitypes.h"

#include <map>

namespace OrvantaClient::GUI {

class SideBarServer;

// The camera list: a section per server of the roster store, kept in step with
// the store, online servers first.
class SideBarRoster : public CardHolder
{
    Q_OBJECT
public:
    explicit SideBarRoster(QWidget* parent = nullptr);

    void setFlatMode(bool enabled);
    void setAddToLayoutEnabled(bool enabled);
    void setSearchText(const QString& text);

    // The sections in the order they are shown.
    QList<SideBarServer*> sections() const;
    SideBarServer* section(const API::ServerPtr& server) const;

signals:
    void openCamera(API::CameraPtr camera);
    void addToLayout(API::CameraPtr camera);
    void openInNewWindow(API::CameraPtr camera);
    void editLocalServer(API::ServerPtr server);

private slots:
    void onServerAdded(API::ServerPtr server);
    void onServerRemoved(API::ServerPtr server);
    void deleteLocalServer(API::ServerPtr server);
    void onRosterUpdatingStarted();
    void rosterUpdated();
    void onRosterUpdatingError();

private:
    void createSection(const API::ServerPtr& server);
    void showSearchResult();

    std::map<API::ServerPtr, SideBarServer*> m_sections;
    bool m_updating = false;
    bool m_flatMode = false;
    bool m_addToLayoutEnabled = true;
    QString m_searchText;
};

} // namespace OrvantaClient::GUI
