#include "controlpanel.h"
#include "controlpanel_p.h"
#include "qualitymenu.h"
#include "core/settings.h"
#include "gui/keys/keyboardshortcuts.h"
#include "gui/widgets/spinnerwidget.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>

namespace OrvantaClient::GUI {

namespace Internal {

class ControlPanelPrivate
{
public:
    ControlPanelForm form;
    // Whether the bar shows its controls at all (a layout without cameras
    // shows none), and whether it is on its recordings page.
    bool controlsVisible = true;
    bool recordsControls = false;
    bool fullscreenButtonVisible = true;
};

} // namespace Internal

namespace {

const char soundVolumeKey[] = "sound/volume";
const char soundOnKey[] = "sound/on";

const char panelStyle[] = R"(
OrvantaClient--GUI--ControlPanel { background-color: rgb(36, 36, 42); }
OrvantaClient--GUI--ControlPanel QLabel { color: white; font-size: 13px; }
OrvantaClient--GUI--ControlPanel QLabel#dateLabel { color: rgb(150, 150, 160); }
OrvantaClient--GUI--ControlPanel QLabel#liveLabel { color: rgb(62, 183, 253); font-weight: bold; }
OrvantaClient--GUI--ControlPanel QPushButton {
    color: white; border: none; background: transparent; min-height: 28px; padding: 0 8px; border-radius: 3px; }
OrvantaClient--GUI--ControlPanel QPushButton:hover { background-color: rgba(255, 255, 255, 18); }
OrvantaClient--GUI--ControlPanel QPushButton:focus { border: 1px solid rgb(62, 183, 253); }
OrvantaClient--GUI--ControlPanel QPushButton:checked { background-color: rgba(62, 183, 253, 90); }
OrvantaClient--GUI--ControlPanel QPushButton::menu-indicator { image: none; width: 0; }
QPushButton#hideRecordsButton, QPushButton#exportButton { background-color: rgb(62, 183, 253); }
QPushButton#hideRecordsButton:hover, QPushButton#exportButton:hover { background-color: rgb(96, 198, 255); }
QPushButton#pauseButton, QPushButton#playButton, QPushButton#speedButton, QPushButton#soundButton,
QPushButton#fullscreenButton { min-width: 28px; max-width: 28px; padding: 0; }
QPushButton#pauseButton { image: url(:/controlpanel/icons/pause.png); }
QPushButton#playButton { image: url(:/controlpanel/icons/play.png); }
QPushButton#speedButton[acc="no"] { image: url(:/controlpanel/icons/speed.png); }
QPushButton#speedButton[acc="yes"] { image: url(:/controlpanel/icons/speed_acc.png); }
QPushButton#soundButton[volume="mute"] { image: url(:/controlpanel/icons/sound_mute.png); }
QPushButton#soundButton[volume="low"] { image: url(:/controlpanel/icons/sound_low.png); }
QPushButton#soundButton[volume="mid"] { image: url(:/controlpanel/icons/sound_mid.png); }
QPushButton#soundButton[volume="high"] { image: url(:/controlpanel/icons/sound_high.png); }
QPushButton#fullscreenButton { image: url(:/controlpanel/icons/fullscreen.png); }
QPushButton#fullscreenButton:checked { image: url(:/controlpanel/icons/fullscreen_exit.png); }
QSlider::groove:horizontal { height: 4px; background: rgb(80, 80, 90); border-radius: 2px; }
QSlider::sub-page:horizontal { background: rgb(62, 183, 253); border-radius: 2px; }
QSlider::handle:horizontal { width: 12px; margin: -4px 0; border-radius: 6px; background: white; }
)";

// Dynamic properties only take effect in the style sheet once re-polished.
void repolish(QWidget* widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

} // namespace

ControlPanel::ControlPanel(QWidget* parent)
    : QWidget(parent)
    , d(std::make_shared<Internal::ControlPanelPrivate>())
{
    setAttribute(Qt::WA_StyledBackground);
    d->form.setupUi(this);
    setStyleSheet(QLatin1String(panelStyle));
    connectForm();

    // Applied quietly: reading the settings back must neither store them nor
    // announce them as the user's choice.
    const App::Settings& settings = App::Settings::instance();
    {
        const QSignalBlocker blocker(d->form.soundSlider);
        setSoundVolume(settings.intValue(QLatin1String(soundVolumeKey), 50, 0, 100));
    }
    enableSound(settings.value(QLatin1String(soundOnKey), true).toBool());
    hideRecordsControls();
}

ControlPanel::~ControlPanel() = default;

void ControlPanel::connectForm()
{
    const Internal::ControlPanelForm& f = d->form;
    connect(f.showRecordsButton, &QPushButton::clicked, this, &ControlPanel::showRecordsButtonClicked);
    connect(f.hideRecordsButton, &QPushButton::clicked, this, &ControlPanel::hideRecordsButtonClicked);
    connect(f.liveButton, &QPushButton::clicked, this, &ControlPanel::liveButtonClicked);
    connect(f.exportModeButton, &QPushButton::clicked, this, &ControlPanel::exportModeButtonClicked);
    connect(f.cancelExportButton, &QPushButton::clicked, this, &ControlPanel::cancelExportButtonClicked);
    connect(f.exportButton, &QPushButton::clicked, this, &ControlPanel::exportButtonClicked);
    connect(f.fullscreenButton, &QPushButton::clicked, this, &ControlPanel::fullscreenButtonClicked);
    connect(f.pauseButton, &QPushButton::clicked, this, &ControlPanel::pause);
    connect(f.playButton, &QPushButton::clicked, this, &ControlPanel::play);
    connect(f.qualityMenu->entryAction(QualityMenu::Low), &QAction::triggered, this, &ControlPanel::setLowQuality);
    connect(f.qualityMenu->entryAction(QualityMenu::Middle), &QAction::triggered, this, &ControlPanel::setMidQuality);
    connect(f.qualityMenu->entryAction(QualityMenu::High), &QAction::triggered, this, &ControlPanel::setHighQuality);
    connect(f.qualityMenu->entryAction(QualityMenu::Auto), &QAction::triggered, this, &ControlPanel::setAutoQuality);
    connect(f.soundSlider, &QSlider::valueChanged, this, &ControlPanel::on_soundSlider_valueChanged);
    connect(f.soundButton, &QPushButton::clicked, this, &ControlPanel::on_soundButton_clicked);
    connect(f.speedSlider, &QSlider::valueChanged, this, &ControlPanel::on_speedSlider_valueChanged);
    connect(f.speedButton, &QPushButton::clicked, this, &ControlPanel::on_speedButton_clicked);
    connect(f.streamHealthButton, &QPushButton::toggled, this, &ControlPanel::streamHealthToggled);
    // The volume slider shows while the pointer is over the sound area.
    f.soundArea->installEventFilter(this);
}

int ControlPanel::soundVolume() const
{
    return d->form.soundSlider->value();
}

bool ControlPanel::isSoundEnabled() const
{
    return d->form.soundSlider->isEnabled();
}

int ControlPanel::speed() const
{
    return Internal::speedForStep(d->form.speedSlider->value());
}

void ControlPanel::setDateTime(const QDateTime& dateTime)
{
    d->form.timeLabel->setText(dateTime.toString(QStringLiteral("hh:mm:ss")));
    d->form.dateLabel->setText(dateTime.toString(QStringLiteral("dd/MM")));
}

void ControlPanel::showSpeedSlider()
{
    d->form.speedSlider->show();
    d->form.speedLabel->show();
}

void ControlPanel::showSoundSlider()
{
    d->form.soundSlider->show();
}

void ControlPanel::hideSpeedSlider()
{
    d->form.speedSlider->hide();
    // A speed other than 1x stays in sight while the slider is away.
    if (d->form.speedSlider->value() == d->form.speedSlider->minimum())
        d->form.speedLabel->hide();
}

void ControlPanel::hideSoundSlider()
{
    d->form.soundSlider->hide();
}

void ControlPanel::setExportMode()
{
    d->form.exportSpinner->stop();
    d->form.exportStack->setCurrentIndex(0);
    d->form.modeStack->setCurrentWidget(d->form.exportPage);
}

void ControlPanel::setNormalMode()
{
    d->form.exportSpinner->stop();
    d->form.modeStack->setCurrentWidget(d->form.normalPage);
    setControlsVisible(true);
}

void ControlPanel::setEmptyMode()
{
    d->form.exportSpinner->stop();
    d->form.modeStack->setCurrentWidget(d->form.normalPage);
    setControlsVisible(false);
}

void ControlPanel::setFullscreenButtonVisible(bool visible)
{
    d->fullscreenButtonVisible = visible;
    d->form.fullscreenButton->setVisible(visible && d->controlsVisible);
}

void ControlPanel::showRecordsControls()
{
    d->recordsControls = true;
    d->form.recordsStack->setCurrentWidget(d->form.hideRecordsButton);
    setControlsVisible(d->controlsVisible);
}

void ControlPanel::hideRecordsControls()
{
    d->recordsControls = false;
    d->form.recordsStack->setCurrentWidget(d->form.showRecordsButton);
    setControlsVisible(d->controlsVisible);
}

void ControlPanel::showLiveLabel()
{
    d->form.timeStack->setCurrentWidget(d->form.liveLabel);
}

void ControlPanel::showDateLabel()
{
    d->form.timeStack->setCurrentWidget(d->form.dateTimePage);
}

void ControlPanel::showPauseButton()
{
    d->form.playPauseStack->setCurrentWidget(d->form.pauseButton);
}

void ControlPanel::showPlayButton()
{
    d->form.playPauseStack->setCurrentWidget(d->form.playButton);
}

void ControlPanel::enableExport(bool enabled, const QString& reason)
{
    QPushButton* button = d->form.exportButton;
    button->setEnabled(enabled);
    // Tool tips show on a disabled button too: the grey alone does not say why.
    button->setToolTip(enabled ? QString() : reason);
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(button->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(button);
        button->setGraphicsEffect(effect);
    }
    effect->setOpacity(enabled ? 1.0 : 0.5);
}

void ControlPanel::setSoundVolume(int volume)
{
    if (d->form.soundSlider->value() != volume)
        d->form.soundSlider->setValue(volume);
    updateVolumeButton();
}

void ControlPanel::enableSound(bool enable)
{
    if (d->form.soundSlider->isEnabled() != enable)
        d->form.soundSlider->setEnabled(enable);
    updateVolumeButton();
}

// The button turns into the way out: its tool tip says so.
void ControlPanel::enterFullscreen()
{
    d->form.fullscreenButton->setChecked(true);
    d->form.fullscreenButton->setToolTip(
        KeyboardShortcuts::toolTip(tr("Leave full screen"), KeyboardShortcuts::FullScreen));
}

void ControlPanel::leaveFullscreen()
{
    d->form.fullscreenButton->setChecked(false);
    d->form.fullscreenButton->setToolTip(
        KeyboardShortcuts::toolTip(tr("Full screen"), KeyboardShortcuts::FullScreen));
}

void ControlPanel::showExportPercent()
{
    d->form.exportStack->setCurrentIndex(1);
    d->form.exportSpinner->start();
}

void ControlPanel::exportStarted()
{
    showExportPercent();
    exportPercentDone(0);
}

void ControlPanel::exportPercentDone(int percent)
{
    // The figure comes from the export worker's output; keep it in sense.
    d->form.exportPercentLabel->setText(QString::number(qBound(0, percent, 100)) + QLatin1Char('%'));
}

void ControlPanel::setStreamHealthChecked(bool checked)
{
    const QSignalBlocker blocker(d->form.streamHealthButton);
    d->form.streamHealthButton->setChecked(checked);
}

void ControlPanel::stepSpeed(int steps)
{
    QSlider* slider = d->form.speedSlider;
    const int step = qBound(slider->minimum(), slider->value() + steps, slider->maximum());
    if (step == slider->value())
        return;
    slider->setValue(step);
    // The speed chosen by key stays in sight, as one chosen on the slider does.
    if (d->recordsControls && d->controlsVisible)
        d->form.speedLabel->setVisible(step != slider->minimum() || slider->isVisible());
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->form.soundArea) {
        if (event->type() == QEvent::Enter)
            showSoundSlider();
        else if (event->type() == QEvent::Leave)
            hideSoundSlider();
    }
    return QWidget::eventFilter(watched, event);
}

void ControlPanel::on_soundSlider_valueChanged(int value)
{
    App::Settings::instance().setValue(QLatin1String(soundVolumeKey), value);
    updateVolumeButton();
    emit soundVolumeChanged(value);
}

void ControlPanel::on_soundButton_clicked()
{
    const bool enable = d->form.soundButton->property("volume").toString() == QLatin1String("mute");
    App::Settings::instance().setValue(QLatin1String(soundOnKey), enable);
    // Applied here too, so that the button turns even where nobody passes the
    // choice back; the relayed call then finds nothing to change.
    enableSound(enable);
    emit soundEnabled(enable);
}

void ControlPanel::on_speedSlider_valueChanged(int value)
{
    QPushButton* button = d->form.speedButton;
    button->setProperty("acc", value == 0 ? QStringLiteral("no") : QStringLiteral("yes"));
    repolish(button);
    const int speed = Internal::speedForStep(value);
    d->form.speedLabel->setText(QString::number(speed) + QLatin1Char('x'));
    emit speedChanged(speed);
}

void ControlPanel::on_speedButton_clicked()
{
    if (d->form.speedSlider->isVisible())
        hideSpeedSlider();
    else
        showSpeedSlider();
}

void ControlPanel::setControlsVisible(bool visible)
{
    d->controlsVisible = visible;
    const Internal::ControlPanelForm& f = d->form;
    const QList<QWidget*> controls{f.recordsStack, f.playPauseStack, f.timeStack, f.soundArea, f.streamHealthButton,
                                   f.qualityButton};
    for (QWidget* control : controls)
        control->setVisible(visible);
    f.fullscreenButton->setVisible(visible && d->fullscreenButtonVisible);
    // Live, speed and export belong to the recordings page only.
    const bool records = visible && d->recordsControls;
    f.liveButton->setVisible(records);
    f.exportModeButton->setVisible(records);
    f.speedButton->setVisible(records);
    if (!records) {
        f.speedSlider->hide();
        f.speedLabel->hide();
    } else if (f.speedSlider->value() != f.speedSlider->minimum()) {
        f.speedLabel->show();
    }
}

void ControlPanel::updateVolumeButton()
{
    QPushButton* button = d->form.soundButton;
    button->setProperty("volume", Internal::volumeLook(d->form.soundSlider->isEnabled(), d->form.soundSlider->value()));
    repolish(button);
}

} // namespace OrvantaClient::GUI
