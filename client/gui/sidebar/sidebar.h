#pragma once

#include "model/apitypes.h"

#include <QFrame>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace OrvantaClient::GUI {

class SideBarLayouts;
class SideBarRoster;
class SideBarSettings;
class SideBarTours;

// The left-hand panel of a main window: the camera list, the layout list and
// the settings page, with a search field over the two lists.
class SideBar : public QFrame
{
    Q_OBJECT
public:
    enum Mode { RosterMode = 0, LayoutsMode = 1, SettingsMode = 2 };

    explicit SideBar(QWidget* parent = nullptr);

    SideBarRoster* roster() const { return m_roster; }
    SideBarLayouts* layouts() const { return m_layouts; }
    SideBarSettings* settings() const { return m_settings; }
    SideBarTours* tours() const { return m_tours; }
    Mode mode() const;
    QString searchText() const { return m_searchText; }

    // Marks the card of the layout that the window shows.
    void setCurrentLayout(API::LayoutPtr layout);

signals:
    void hideRequest();
    void addNewLayout();

public slots:
    void setRosterMode();
    void setLayoutsMode();
    void setSettingsMode();

private slots:
    void onSearchTextChanged(const QString& text);

private:
    QScrollArea* scrolled(QWidget* page);

    QLineEdit* m_search;
    QLabel* m_title;
    QPushButton* m_addLayout;
    QStackedWidget* m_pages;
    SideBarRoster* m_roster;
    SideBarLayouts* m_layouts;
    SideBarSettings* m_settings;
    SideBarTours* m_tours;
    QString m_searchText;
};

} // namespace OrvantaClient::GUI
