#pragma once

#include <QLabel>

namespace OrvantaClient::GUI {

// The strip over the grid that says the service cannot be reached, shown for as
// long as the roster finds it so; the roster keeps retrying meanwhile.
class ConnectionBanner : public QLabel
{
    Q_OBJECT
public:
    explicit ConnectionBanner(QWidget* parent = nullptr);

private:
    void follow(bool reachable);
};

} // namespace OrvantaClient::GUI
