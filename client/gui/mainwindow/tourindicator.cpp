#include "tourindicator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace OrvantaClient::GUI {

TourIndicator::TourIndicator(QWidget* parent)
    : QFrame(parent)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("tourIndicator"));
    setStyleSheet(QStringLiteral("#tourIndicator { background: rgb(25, 134, 243); }"
                                 "#tourIndicator QLabel { color: white; font-size: 13px; }"
                                 "#tourIndicator QPushButton { color: white; background: transparent;"
                                 " border: 1px solid white; border-radius: 4px; padding: 2px 10px; }"
                                 "#tourIndicator QPushButton:hover { background: rgba(255, 255, 255, 40); }"));
    m_label->setObjectName(QStringLiteral("tourStatus"));
    auto* stop = new QPushButton(tr("Stop tour"), this);
    stop->setObjectName(QStringLiteral("stopTour"));
    stop->setCursor(Qt::PointingHandCursor);
    stop->setFocusPolicy(Qt::NoFocus);
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(8, 2, 4, 2);
    box->addWidget(m_label, 1);
    box->addWidget(stop);
    connect(stop, &QPushButton::clicked, this, &TourIndicator::stopClicked);
}

void TourIndicator::showState(const QString& name, int position, int count, int msToNext)
{
    if (msToNext < 0) {
        m_label->setText(tr("Tour \"%1\": %2 / %3, paused").arg(name).arg(position).arg(count));
        return;
    }
    // Rounded up: "next in 0 s" would be shown for most of the last second.
    const int seconds = (msToNext + 999) / 1000;
    m_label->setText(tr("Tour \"%1\": %2 / %3, next in %4 s").arg(name).arg(position).arg(count).arg(seconds));
}

QString TourIndicator::text() const { return m_label->text(); }

} // namespace OrvantaClient::GUI
