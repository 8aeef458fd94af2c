#pragma once

#include <QLabel>

namespace OrvantaClient::GUI::Player {

// "Reconnecting (2/3)...", under the spinner of a cell whose live picture the
// watchdog is bringing back: which attempt of how many. Hidden otherwise.
class ReconnectLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ReconnectLabel(QWidget* cell);

    // 0 (or less) hides it.
    void setAttempt(int attempt, int maximum);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
};

} // namespace OrvantaClient::GUI::Player
