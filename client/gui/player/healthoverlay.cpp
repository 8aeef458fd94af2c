#include "healthoverlay.h"

#include "streamhealth.h"
#include "videowidget.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QTimerEvent>

namespace OrvantaClient::GUI::Player {

namespace Internal {

class HealthOverlayPrivate
{
public:
    VideoWidget* cell = nullptr;
    StreamHealth health;
    QElapsedTimer clock;
    bool automaticQuality = false;
    int timer = 0;
};

} // namespace Internal

HealthOverlay::HealthOverlay(VideoWidget* cell)
    : QLabel(cell)
    , d(std::make_unique<Internal::HealthOverlayPrivate>())
{
    d->cell = cell;
    d->clock.start();
    setObjectName(QStringLiteral("healthOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 170); color: white; font-size: 12px;"
                                 " padding: 4px 6px; border-radius: 3px;"));
    cell->installEventFilter(this);
    d->timer = startTimer(1000, Qt::CoarseTimer);
    refresh();
    show();
    raise();
}

HealthOverlay::~HealthOverlay() = default;

void HealthOverlay::setAutomaticQuality(bool automatic)
{
    if (automatic == d->automaticQuality)
        return;
    d->automaticQuality = automatic;
    refresh();
}

void HealthOverlay::refresh()
{
    const VideoWidget* cell = d->cell;
    d->health.sample(cell->frameCount(), cell->shownFrameCount(), d->clock.elapsed());

    // The stream's own size; the worker may draw its pictures smaller, at the
    // size the cell shows them.
    const QSize drawn = cell->pictureSize();
    const QSize source = cell->sourceSize().isValid() ? cell->sourceSize() : drawn;
    QString resolution = tr("Resolution: not known yet");
    if (drawn.isValid() && drawn != source)
        resolution = tr("Resolution: %1 × %2, drawn at %3 × %4")
                         .arg(source.width()).arg(source.height()).arg(drawn.width()).arg(drawn.height());
    else if (drawn.isValid())
        resolution = tr("Resolution: %1 × %2").arg(source.width()).arg(source.height());
    const QString rates = tr("Frames per second: %1 received, %2 shown")
                              .arg(qRound(d->health.receivedRate()))
                              .arg(qRound(d->health.shownRate()));
    // The names of the quality menu, for the stream the cell plays.
    const QStringList levels{tr("Low"), tr("Middle"), tr("High")};
    const QString level = levels.value(cell->quality(), levels.last());
    const QString quality = tr("Quality: %1").arg(d->automaticQuality ? tr("Auto (%1)").arg(level) : level);
    const QString worker = cell->workerName().isEmpty() ? tr("none") : cell->workerName();
    const QString restarts = tr("Worker: %1, restarts: %2").arg(worker).arg(cell->reloads());
    setText(QStringList{resolution, rates, quality, restarts}.join(QLatin1Char('\n')));
    adjustSize();
    place();
}

void HealthOverlay::place()
{
    // Below the cell's top bar (as high as the cell makes it), clear of the name.
    const int barHeight = VideoWidget::barHeight(d->cell);
    move(6, barHeight + 4);
    raise();
}

void HealthOverlay::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != d->timer) {
        QLabel::timerEvent(event);
        return;
    }
    // A cell hidden behind a maximised one keeps its numbers for later.
    if (isVisible())
        refresh();
}

bool HealthOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->cell && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

} // namespace OrvantaClient::GUI::Player
