#pragma once

#include "model/apitypes.h"

#include <QList>
#include <QMap>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QMenu;
class QToolButton;

namespace OrvantaClient::GUI {

class CameraCard;
class CardHolder;

// One video server of the camera list: a header with its name, state and menu,
// and a card per camera below it that folds away with the expand box.
class SideBarServer : public QWidget
{
    Q_OBJECT
public:
    explicit SideBarServer(API::ServerPtr server, QWidget* parent = nullptr);

    API::ServerPtr server() const { return m_server; }
    QString name() const;
    bool isExpanded() const;
    bool isFlatMode() const { return m_flatMode; }
    QMenu* menu() const { return m_menu; }
    CardHolder* holder() const { return m_holder; }
    // The camera cards in the order they are shown. A server of many cameras
    // makes the first cards at once and the others over the next turns of the
    // event loop, in the order they are shown.
    QList<CameraCard*> cards() const;
    bool isMakingCards() const { return !m_pending.isEmpty(); }

    // Filters the cards by text; an empty text undoes the filter. The text is
    // kept and applied again after every re-sort. A server found by its name
    // shows all its cameras; otherwise the cameras found by theirs. A section
    // with nothing found hides.
    void setSearchText(const QString& text);

signals:
    void openCamera(API::CameraPtr camera);
    void addToLayout(API::CameraPtr camera);
    void openInNewWindow(API::CameraPtr camera);
    void editLocalServer(API::ServerPtr server);
    void deleteLocalServer(API::ServerPtr server);
    // The search was applied again (the section may have shown or hidden).
    void searchApplied();

public slots:
    void expand();
    void collapse();
    void setFlatMode(bool enabled);
    void saveExpandState();
    void restoreExpandState();
    void setAddToLayoutEnabled(bool enabled);
    void updateOfflineImage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void onEditLocalServer();
    void onDeleteLocalServer();
    void addCamera(API::CameraPtr camera);
    void removeCamera(API::CameraPtr camera);
    void onLocalServerUpdatingStarted();
    void serverUpdated();
    void onLocalServerUpdatingError();
    void showName();

private:
    CameraCard* createCard(const API::CameraPtr& camera, bool add = true);
    void makeSomeCards();
    void applySearch();
    bool matchesSearch(const QString& name) const;
    void startDrag();

    API::ServerPtr m_server;
    QMap<API::camera_id_t, CameraCard*> m_cards;
    QList<API::CameraPtr> m_pending; // cameras whose cards are yet to be made, in shown order
    QTimer m_cardMaker;
    int m_cardsInTurn = 0; // cards made in the next turn, sized by what the last one cost
    bool m_updating = false;
    bool m_expandStateSaved = false;
    bool m_savedExpanded = true;
    bool m_flatMode = false;
    bool m_addToLayoutEnabled = true;
    QString m_searchText;

    QWidget* m_header;
    QLabel* m_name = nullptr;
    QCheckBox* m_expandBox;
    QLabel* m_offlineIcon;
    QToolButton* m_menuButton;
    QMenu* m_menu;
    CardHolder* m_holder;
    QPoint m_pressPos;
    bool m_headerPressed = false;
};

} // namespace OrvantaClient::GUI
