#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace OrvantaClient::GUI {

class TourRunner;

// What a user does in a window holds its running tour: presses, the wheel, keys,
// and moves of the pointer (not the events made up for a pointer at rest).
class TourInteraction : public QObject
{
public:
    TourInteraction(QWidget* window, TourRunner* runner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    TourRunner* m_runner;
    QPoint m_cursor;
};

} // namespace OrvantaClient::GUI
