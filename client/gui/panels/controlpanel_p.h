#pragma once

#include <QCoreApplication>
#include <QString>

class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class QWidget;

namespace OrvantaClient::GUI {

class QualityMenu;
class SpinnerWidget;

namespace Internal {

// The look of the sound button as the style sheet knows it.
inline QString volumeLook(bool enabled, int volume)
{
    if (!enabled)
        return QStringLiteral("mute");
    if (volume <= 0)
        return QStringLiteral("low");
    return volume < 50 ? QStringLiteral("mid") : QStringLiteral("high");
}

// Archive speed for a slider step: 1, 2, 4 ... 32.
inline int speedForStep(int step)
{
    return 1 << qBound(0, step, 5);
}

// The widgets of the control panel's form. They are children of the panel and
// die with it.
struct ControlPanelForm
{
    Q_DECLARE_TR_FUNCTIONS(OrvantaClient::GUI::ControlPanel)
public:
    void setupUi(QWidget* panel);

    QStackedWidget* modeStack = nullptr; // normal bar, export bar
    QWidget* normalPage = nullptr;
    QWidget* exportPage = nullptr;

    QStackedWidget* recordsStack = nullptr; // show recordings, hide recordings
    QPushButton* showRecordsButton = nullptr;
    QPushButton* hideRecordsButton = nullptr;
    QPushButton* liveButton = nullptr;
    QStackedWidget* playPauseStack = nullptr; // pause, play
    QPushButton* pauseButton = nullptr;
    QPushButton* playButton = nullptr;
    QPushButton* speedButton = nullptr;
    QSlider* speedSlider = nullptr;
    QLabel* speedLabel = nullptr;
    QStackedWidget* timeStack = nullptr; // live label, date and time
    QLabel* liveLabel = nullptr;
    QWidget* dateTimePage = nullptr;
    QLabel* timeLabel = nullptr;
    QLabel* dateLabel = nullptr;
    QWidget* soundArea = nullptr;
    QPushButton* soundButton = nullptr;
    QSlider* soundSlider = nullptr;
    QPushButton* streamHealthButton = nullptr;
    QPushButton* qualityButton = nullptr;
    QualityMenu* qualityMenu = nullptr;
    QPushButton* exportModeButton = nullptr;
    QPushButton* fullscreenButton = nullptr;

    QPushButton* cancelExportButton = nullptr;
    QLabel* chooseIntervalLabel = nullptr;
    QStackedWidget* exportStack = nullptr; // export button, percentage
    QPushButton* exportButton = nullptr;
    SpinnerWidget* exportSpinner = nullptr;
    QLabel* exportPercentLabel = nullptr;
};

} // namespace Internal
} // namespace OrvantaClient::GUI
