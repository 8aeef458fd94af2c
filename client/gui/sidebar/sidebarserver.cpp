#include "sidebarserver.h"

#include "cameracard.h"
#include "gui/widgets/cardholder.h"
#include "model/camera.h"
#include "model/localserver.h"
#include "model/server.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDataStream>
#include <QDebug>
#include <QDrag>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace OrvantaClient::GUI {

namespace {

// Enough cards at once to fill a screen; then the others in turns of the
// event loop that each take about this long. Showing a card (its style, its
// place in the list) costs many times what making it does, so a turn is sized
// from what the last one cost in all.
constexpr int cardsAtOnce = 10;
constexpr qint64 cardTurnMs = 15;
constexpr int mostCardsInTurn = 200;

bool shownBefore(const API::Camera& a, const QString& aTitle, const API::Camera& b, const QString& bTitle)
{
    if (a.isOnline() != b.isOnline())
        return a.isOnline();
    return aTitle.compare(bTitle, Qt::CaseInsensitive) < 0;
}

} // namespace

SideBarServer::SideBarServer(API::ServerPtr server, QWidget* parent)
    : QWidget(parent)
    , m_server(std::move(server))
{
    setObjectName(QStringLiteral("serverSection"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(8);

    m_header = new QWidget;
    m_header->setObjectName(QStringLiteral("serverHeader"));
    m_header->setCursor(Qt::PointingHandCursor);
    m_header->setStyleSheet(QStringLiteral(
        "#serverName { color: rgb(55, 65, 81); font-weight: bold; font-size: 13px; }"
        "#expandBox::indicator { width: 16px; height: 16px; }"
        "#expandBox::indicator:checked { image: url(:/sidebar/icons/expandArrow.png); }"
        "#expandBox::indicator:unchecked { image: url(:/sidebar/icons/collapseArrow.png); }"
        "#serverMenuButton { border: none; border-radius: 4px; padding: 2px; }"
        "#serverMenuButton:hover { background: rgb(229, 231, 235); }"));
    m_header->installEventFilter(this);
    auto* headerBox = new QHBoxLayout(m_header);
    headerBox->setContentsMargins(0, 0, 0, 0);
    headerBox->setSpacing(6);
    m_expandBox = new QCheckBox;
    m_expandBox->setObjectName(QStringLiteral("expandBox"));
    m_expandBox->setChecked(true);
    headerBox->addWidget(m_expandBox);
    m_name = new QLabel;
    m_name->setObjectName(QStringLiteral("serverName"));
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_name->installEventFilter(this);
    headerBox->addWidget(m_name, 1);
    m_offlineIcon = new QLabel;
    m_offlineIcon->setObjectName(QStringLiteral("offlineIcon"));
    m_offlineIcon->setPixmap(QPixmap(QStringLiteral(":/sidebar/icons/serverOffline.png")));
    headerBox->addWidget(m_offlineIcon);
    m_menuButton = new QToolButton;
    m_menuButton->setObjectName(QStringLiteral("serverMenuButton"));
    m_menuButton->setIcon(QIcon(QStringLiteral(":/sidebar/icons/menuDots.png")));
    m_menuButton->setToolTip(tr("Menu"));
    headerBox->addWidget(m_menuButton);
    box->addWidget(m_header);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("serverMenu"));
    QAction* edit = m_menu->addAction(tr("Edit"));
    edit->setObjectName(QStringLiteral("editServerAction"));
    QAction* remove = m_menu->addAction(tr("Delete"));
    remove->setObjectName(QStringLiteral("deleteServerAction"));
    connect(edit, &QAction::triggered, this, &SideBarServer::onEditLocalServer);
    connect(remove, &QAction::triggered, this, &SideBarServer::onDeleteLocalServer);
    connect(m_menuButton, &QToolButton::clicked, this, [this] {
        m_menu->popup(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height())));
    });
    m_menuButton->setVisible(m_server->isLocal());

    m_holder = new CardHolder;
    box->addWidget(m_holder);
    connect(m_expandBox, &QCheckBox::toggled, m_holder, &QWidget::setVisible);

    API::Server* item = m_server.get();
    connect(item, &API::Server::serverNameChanged, this, &SideBarServer::showName);
    connect(item, &API::Server::serverNameChanged, this, &SideBarServer::updateOfflineImage); // its tool tip names it
    connect(item, &API::Server::serverStateChanged, this, &SideBarServer::updateOfflineImage);
    connect(item, &API::Server::cameraAdded, this, &SideBarServer::addCamera);
    connect(item, &API::Server::cameraRemoved, this, &SideBarServer::removeCamera);
    auto* local = qobject_cast<API::LocalServer*>(item);
    if (local) {
        connect(local, &API::LocalServer::localServerUpdatingStarted, this,
                &SideBarServer::onLocalServerUpdatingStarted);
        connect(local, &API::LocalServer::localServerUpdatingFinished, this, &SideBarServer::serverUpdated);
        connect(local, &API::LocalServer::localServerUpdatingError, this,
                &SideBarServer::onLocalServerUpdatingError);
    }

    m_cardMaker.setInterval(0);
    m_cardsInTurn = cardsAtOnce;
    connect(&m_cardMaker, &QTimer::timeout, this, &SideBarServer::makeSomeCards);
    QList<QPair<QString, API::CameraPtr>> cameras;
    for (const API::CameraPtr& camera : m_server->items()) {
        if (camera->exists())
            cameras.append({CameraCard::titleOf(*camera), camera});
    }
    std::stable_sort(cameras.begin(), cameras.end(), [](const auto& a, const auto& b) {
        return shownBefore(*a.second, a.first, *b.second, b.first);
    });
    for (int i = 0; i < cameras.size(); ++i) {
        if (i < cardsAtOnce)
            createCard(cameras.at(i).second);
        else
            m_pending.append(cameras.at(i).second);
    }
    if (!m_pending.isEmpty())
        m_cardMaker.start();
    showName();
    updateOfflineImage();
    if (local && local->isUpdating() && m_cards.isEmpty())
        onLocalServerUpdatingStarted();
    else
        serverUpdated();
}

QString SideBarServer::name() const
{
    return m_server->name();
}

bool SideBarServer::isExpanded() const
{
    return m_expandBox->isChecked();
}

QList<CameraCard*> SideBarServer::cards() const
{
    QList<CameraCard*> list;
    for (QWidget* card : m_holder->cards()) {
        if (auto* camera = qobject_cast<CameraCard*>(card))
            list << camera;
    }
    return list;
}

void SideBarServer::setSearchText(const QString& text)
{
    m_searchText = text;
    applySearch();
}

void SideBarServer::expand()
{
    m_expandBox->setChecked(true);
}

void SideBarServer::collapse()
{
    m_expandBox->setChecked(false);
}

void SideBarServer::setFlatMode(bool enabled)
{
    m_flatMode = enabled;
    m_header->setVisible(!enabled);
    if (enabled)
        expand();
}

void SideBarServer::saveExpandState()
{
    if (m_expandStateSaved)
        return;
    m_expandStateSaved = true;
    m_savedExpanded = isExpanded();
}

void SideBarServer::restoreExpandState()
{
    if (!m_expandStateSaved)
        return;
    m_expandStateSaved = false;
    m_expandBox->setChecked(m_savedExpanded);
}

void SideBarServer::setAddToLayoutEnabled(bool enabled)
{
    m_addToLayoutEnabled = enabled;
    for (CameraCard* card : qAsConst(m_cards))
        card->setAddToLayoutEnabled(enabled);
}

// A name longer than the header is cut with an ellipsis; the whole name is in
// the tool tip.
void SideBarServer::showName()
{
    const QString name = m_server->name();
    const QString shown = m_name->fontMetrics().elidedText(name, Qt::ElideRight, qMax(m_name->width(), 1));
    m_name->setText(shown);
    m_name->setToolTip(shown == name ? QString() : name);
}

void SideBarServer::updateOfflineImage()
{
    m_offlineIcon->setVisible(!m_server->isOnline());
    m_offlineIcon->setToolTip(
        tr("Server \"%1\" is offline. Its cameras can be watched again once it is back online.").arg(m_server->name()));
}

void SideBarServer::onEditLocalServer()
{
    emit editLocalServer(m_server);
}

void SideBarServer::onDeleteLocalServer()
{
    emit deleteLocalServer(m_server);
}

void SideBarServer::addCamera(API::CameraPtr camera)
{
    if (m_cards.contains(camera->id()) || m_pending.contains(camera)) {
        qDebug() << "Skip creating view for camera:" << camera->name() << camera->id();
        return;
    }
    createCard(camera);
    serverUpdated();
}

void SideBarServer::removeCamera(API::CameraPtr camera)
{
    if (m_pending.removeOne(camera))
        return;
    CameraCard* card = m_cards.take(camera->id());
    if (!card) {
        qDebug() << "Skip removing unexising view for camera:" << camera->name() << camera->id();
        return;
    }
    m_holder->removeCard(card);
    card->hide();
    // The removal may come from inside one of the card's own signals.
    card->deleteLater();
    serverUpdated();
}

void SideBarServer::onLocalServerUpdatingStarted()
{
    m_updating = true;
    if (m_cards.isEmpty())
        m_holder->showLoading();
}

void SideBarServer::serverUpdated()
{
    m_updating = false;
    if (m_cards.isEmpty() && m_pending.isEmpty()) {
        m_holder->showMessage(tr("No cameras attached"));
        return;
    }
    m_holder->showCards();
    QList<CameraCard*> sorted = m_cards.values();
    std::stable_sort(sorted.begin(), sorted.end(), [](const CameraCard* a, const CameraCard* b) {
        return shownBefore(*a->camera(), a->title(), *b->camera(), b->title());
    });
    m_holder->setCardOrder(QList<QWidget*>(sorted.begin(), sorted.end()));
    applySearch();
}

void SideBarServer::onLocalServerUpdatingError()
{
    m_updating = false;
    if (m_cards.isEmpty()) {
        // Within a couple of lines of the message, however long the name.
        const QString name = m_holder->fontMetrics().elidedText(m_server->name(), Qt::ElideRight, 240);
        m_holder->showMessage(tr("Server \"%1\" is offline").arg(name));
    }
}

CameraCard* SideBarServer::createCard(const API::CameraPtr& camera, bool add)
{
    auto* card = new CameraCard(camera);
    card->setAddToLayoutEnabled(m_addToLayoutEnabled);
    connect(card, &CameraCard::openCamera, this, &SideBarServer::openCamera);
    connect(card, &CameraCard::addToLayout, this, &SideBarServer::addToLayout);
    connect(card, &CameraCard::openInNewWindow, this, &SideBarServer::openInNewWindow);
    m_cards.insert(camera->id(), card);
    if (add)
        m_holder->addCard(card);
    return card;
}

void SideBarServer::makeSomeCards()
{
    QElapsedTimer turn;
    turn.start();
    QList<QWidget*> made;
    while (!m_pending.isEmpty() && made.size() < m_cardsInTurn) {
        CameraCard* card = createCard(m_pending.takeFirst(), false);
        if (!m_searchText.isEmpty() && !matchesSearch(m_server->name()) && !matchesSearch(card->camera()->name()))
            card->hide();
        made << card;
    }
    m_holder->addCards(made);
    if (!m_searchText.isEmpty())
        applySearch();
    const qint64 tookUs = qMax<qint64>(1, turn.nsecsElapsed() / 1000);
    // Grown by half at most: cards made while the list is hidden cost far less
    // than once it shows.
    const qint64 fits = made.size() * cardTurnMs * 1000 / tookUs;
    m_cardsInTurn = int(qBound<qint64>(1, fits, qMin(mostCardsInTurn, made.size() + made.size() / 2 + 1)));
    if (m_pending.isEmpty()) {
        m_cardMaker.stop();
        // States may have changed meanwhile: the order is made sure of once.
        serverUpdated();
    }
}

void SideBarServer::applySearch()
{
    if (m_searchText.isEmpty()) {
        restoreExpandState();
        for (CameraCard* card : qAsConst(m_cards))
            card->show();
        show();
        emit searchApplied();
        return;
    }
    saveExpandState();
    // Found by its name, the server shows what it holds: a folded or empty
    // section would look like nothing was found.
    const bool serverFound = matchesSearch(m_server->name());
    bool found = serverFound;
    for (CameraCard* card : qAsConst(m_cards)) {
        const bool shown = serverFound || matchesSearch(card->camera()->name());
        card->setVisible(shown);
        found = found || shown;
    }
    for (const API::CameraPtr& camera : qAsConst(m_pending))
        found = found || matchesSearch(camera->name());
    if (found) {
        expand();
        show();
    } else {
        hide();
    }
    emit searchApplied();
}

bool SideBarServer::matchesSearch(const QString& name) const
{
    return name.contains(m_searchText, Qt::CaseInsensitive);
}

// The header can be dragged to drop the whole server into a layout; a click
// on it folds or unfolds the cameras.
bool SideBarServer::eventFilter(QObject* watched, QEvent* event)
{
    // The style sheet's bold font arrives after the first layout.
    if (watched == m_name && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        showName();
    if (watched != m_header)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_headerPressed = true;
            m_pressPos = mouse->pos();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_headerPressed && (mouse->buttons() & Qt::LeftButton)
            && (mouse->pos() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_headerPressed = false;
            startDrag();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_headerPressed) {
            m_headerPressed = false;
            m_expandBox->toggle();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void SideBarServer::startDrag()
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << m_server->id();
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("server"), data);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
}

} // namespace OrvantaClient::GUI
