#include "controlpanel_p.h"
#include "qualitymenu.h"
#include "gui/keys/keyboardshortcuts.h"
#include "gui/widgets/spinnerwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>

namespace OrvantaClient::GUI::Internal {

namespace {

QPushButton* button(const char* name, const QString& text, const QString& toolTip, QWidget* parent)
{
    auto* result = new QPushButton(text, parent);
    result->setObjectName(QLatin1String(name));
    result->setToolTip(toolTip);
    result->setCursor(Qt::PointingHandCursor);
    // Reached with Tab, not taken by a click: a click leaves the keys to the grid.
    result->setFocusPolicy(Qt::TabFocus);
    return result;
}

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(name));
    return result;
}

QStackedWidget* stack(const char* name, QWidget* parent, std::initializer_list<QWidget*> pages)
{
    auto* result = new QStackedWidget(parent);
    result->setObjectName(QLatin1String(name));
    for (QWidget* page : pages)
        result->addWidget(page);
    // A stack asks for its biggest page; the bar should follow the page shown.
    result->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    return result;
}

QHBoxLayout* row(QWidget* owner, int spacing)
{
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QSlider* slider(const char* name, int maximum, int width, QWidget* parent)
{
    auto* result = new QSlider(Qt::Horizontal, parent);
    result->setObjectName(QLatin1String(name));
    result->setRange(0, maximum);
    result->setPageStep(1);
    result->setFixedWidth(width);
    result->setFocusPolicy(Qt::NoFocus);
    result->hide();
    return result;
}

} // namespace

void ControlPanelForm::setupUi(QWidget* panel)
{
    normalPage = new QWidget;
    normalPage->setObjectName(QStringLiteral("normalPage"));
    using Keys = KeyboardShortcuts;
    showRecordsButton =
        button("showRecordsButton", tr("Recordings"), Keys::toolTip(tr("Show recordings"), Keys::Recordings), nullptr);
    hideRecordsButton =
        button("hideRecordsButton", tr("Recordings"), Keys::toolTip(tr("Hide recordings"), Keys::Recordings), nullptr);
    recordsStack = stack("recordsStack", normalPage, {showRecordsButton, hideRecordsButton});
    liveButton = button("liveButton", tr("Live"), Keys::toolTip(tr("Start live feed"), Keys::Live), normalPage);
    pauseButton = button("pauseButton", QString(), Keys::toolTip(tr("Pause"), Keys::PlayPause), nullptr);
    playButton = button("playButton", QString(), Keys::toolTip(tr("Play"), Keys::PlayPause), nullptr);
    playPauseStack = stack("playPauseStack", normalPage, {pauseButton, playButton});
    const QString speedKeys = QStringLiteral("%1 (%2, %3)").arg(tr("Playback speed"), Keys::shortcut(Keys::Slower).keyText,
                                                              Keys::shortcut(Keys::Faster).keyText);
    speedButton = button("speedButton", QString(), speedKeys, normalPage);
    speedButton->setProperty("acc", QStringLiteral("no"));
    speedSlider = slider("speedSlider", 5, 90, normalPage);
    speedLabel = label("speedLabel", QStringLiteral("1x"), normalPage);
    speedLabel->setMinimumWidth(28);
    speedLabel->hide();

    liveLabel = label("liveLabel", tr("Live"), nullptr);
    dateTimePage = new QWidget;
    timeLabel = label("timeLabel", QStringLiteral("00:00:00"), dateTimePage);
    dateLabel = label("dateLabel", QStringLiteral("01/01"), dateTimePage);
    QHBoxLayout* dateTimeRow = row(dateTimePage, 6);
    dateTimeRow->addWidget(timeLabel);
    dateTimeRow->addWidget(dateLabel);
    timeStack = stack("timeStack", normalPage, {liveLabel, dateTimePage});

    soundArea = new QWidget(normalPage);
    soundArea->setObjectName(QStringLiteral("soundArea"));
    soundButton = button("soundButton", QString(), tr("Sound on/off"), soundArea);
    soundButton->setProperty("volume", QStringLiteral("high"));
    soundSlider = slider("soundSlider", 100, 90, soundArea);
    soundSlider->setPageStep(10);
    soundSlider->setTracking(true);
    QHBoxLayout* soundRow = row(soundArea, 4);
    soundRow->addWidget(soundButton);
    soundRow->addWidget(soundSlider);

    streamHealthButton = button("streamHealthButton", tr("Stream health"),
                                Keys::toolTip(tr("Show the stream health over every cell"), Keys::StreamHealth),
                                normalPage);
    streamHealthButton->setCheckable(true);
    qualityButton = button("qualityButton", tr("Quality"), QString(), normalPage);
    qualityMenu = new QualityMenu(qualityButton);
    qualityButton->setMenu(qualityMenu);
    exportModeButton = button("exportModeButton", tr("Export"),
                              Keys::toolTip(tr("Choose a fragment to export"), Keys::ExportMode), normalPage);
    fullscreenButton =
        button("fullscreenButton", QString(), Keys::toolTip(tr("Full screen"), Keys::FullScreen), normalPage);
    fullscreenButton->setCheckable(true);

    QHBoxLayout* normalRow = row(normalPage, 8);
    normalRow->addWidget(recordsStack);
    normalRow->addWidget(liveButton);
    normalRow->addWidget(playPauseStack);
    normalRow->addWidget(speedButton);
    normalRow->addWidget(speedSlider);
    normalRow->addWidget(speedLabel);
    normalRow->addWidget(timeStack);
    normalRow->addStretch(1);
    normalRow->addWidget(soundArea);
    normalRow->addWidget(streamHealthButton);
    normalRow->addWidget(qualityButton);
    normalRow->addWidget(exportModeButton);
    normalRow->addWidget(fullscreenButton);

    exportPage = new QWidget;
    exportPage->setObjectName(QStringLiteral("exportPage"));
    cancelExportButton = button("cancelExportButton", tr("Cancel"), QString(), exportPage);
    chooseIntervalLabel = label("chooseIntervalLabel", tr("Choose interval"), exportPage);
    exportButton = button("exportButton", tr("Export"), QString(), nullptr);
    auto* percentPage = new QWidget;
    exportSpinner = new SpinnerWidget(percentPage);
    exportSpinner->setFixedSize(18, 18);
    exportPercentLabel = label("exportPercentLabel", QStringLiteral("0%"), percentPage);
    QHBoxLayout* percentRow = row(percentPage, 6);
    percentRow->addWidget(exportSpinner);
    percentRow->addWidget(exportPercentLabel);
    exportStack = stack("exportStack", exportPage, {exportButton, percentPage});
    QHBoxLayout* exportRow = row(exportPage, 8);
    exportRow->addWidget(cancelExportButton);
    exportRow->addStretch(1);
    exportRow->addWidget(chooseIntervalLabel);
    exportRow->addStretch(1);
    exportRow->addWidget(exportStack);

    // Tab follows the bar from left to right; the buttons were made in another order.
    const QList<QWidget*> order{showRecordsButton, hideRecordsButton, liveButton, pauseButton, playButton,
                                speedButton, soundButton, streamHealthButton, qualityButton, exportModeButton,
                                fullscreenButton, cancelExportButton, exportButton};
    modeStack = stack("modeStack", panel, {normalPage, exportPage});
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    modeStack->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    QHBoxLayout* panelRow = row(panel, 0);
    panelRow->setContentsMargins(10, 4, 10, 4);
    panelRow->addWidget(modeStack);
}

} // namespace OrvantaClient::GUI::Internal
