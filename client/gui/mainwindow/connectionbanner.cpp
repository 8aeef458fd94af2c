#include "connectionbanner.h"

#include "stores/roster.h"

namespace OrvantaClient::GUI {

ConnectionBanner::ConnectionBanner(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("connectionBanner"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setContentsMargins(8, 6, 8, 6);
    setStyleSheet(QStringLiteral("background-color: rgb(253, 56, 56); color: white; font-size: 14px;"));
    setText(tr("No connection to the service, retrying..."));
    App::Roster* roster = App::Roster::instance();
    connect(roster, &App::Roster::serviceReachableChanged, this, &ConnectionBanner::follow);
    follow(roster->isServiceReachable());
}

void ConnectionBanner::follow(bool reachable)
{
    setVisible(!reachable);
}

} // namespace OrvantaClient::GUI
