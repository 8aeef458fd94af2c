#pragma once

#include <QDateTime>
#include <QWidget>
#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class ControlPanelPrivate;
}

// The bar under the grid: live and recordings, play and pause, archive speed,
// sound, stream quality, full screen and the export steps. It keeps no playback
// state of its own except the sound settings, which it stores.
class ControlPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ControlPanel(QWidget* parent = nullptr);
    ~ControlPanel() override;

    int soundVolume() const;
    bool isSoundEnabled() const;
    // Archive speed: 1, 2, 4, 8, 16 or 32.
    int speed() const;
    // Writes the time label "hh:mm:ss" and the date label "dd/MM".
    void setDateTime(const QDateTime& dateTime);

signals:
    void showRecordsButtonClicked();
    void hideRecordsButtonClicked();
    void liveButtonClicked();
    void exportModeButtonClicked();
    void cancelExportButtonClicked();
    void exportButtonClicked();
    void fullscreenButtonClicked();
    void searchRecordsButtonClicked();
    void searchCancelButtonClicked();
    void setLowQuality();
    void setMidQuality();
    void setHighQuality();
    void setAutoQuality();
    void pause();
    void play();
    void soundVolumeChanged(int volume);
    void soundEnabled(bool enable);
    void speedChanged(int speed);
    void streamHealthToggled(bool shown);

public slots:
    void showSpeedSlider();
    void showSoundSlider();
    void hideSpeedSlider();
    void hideSoundSlider();
    void setExportMode();
    void setNormalMode();
    void setEmptyMode();
    void setFullscreenButtonVisible(bool visible);
    void showRecordsControls();
    void hideRecordsControls();
    void showLiveLabel();
    void showDateLabel();
    void showPauseButton();
    void showPlayButton();
    // reason: why export is not possible, shown as the button's tool tip.
    void enableExport(bool enabled, const QString& reason = QString());
    void setSoundVolume(int volume);
    void enableSound(bool enable);
    void enterFullscreen();
    void leaveFullscreen();
    void showExportPercent();
    void exportStarted();
    void exportPercentDone(int percent);
    void setStreamHealthChecked(bool checked);
    // Archive speed up (positive) or down by steps of the slider, within its range.
    void stepSpeed(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void on_soundSlider_valueChanged(int value);
    void on_soundButton_clicked();
    void on_speedSlider_valueChanged(int value);
    void on_speedButton_clicked();

private:
    void setControlsVisible(bool visible);
    void updateVolumeButton();
    void connectForm();

    std::shared_ptr<Internal::ControlPanelPrivate> d;
};

} // namespace OrvantaClient::GUI
