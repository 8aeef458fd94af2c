#include "playernotification.h"

#include <QDesktopServices>
#include <QEasingCurve>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimerEvent>
#include <QUrl>

namespace OrvantaClient::GUI {

namespace {

const char notificationStyle[] = R"(
#PlayerNotification { border-radius: 5px; background-color: rgba(56, 189, 253, 96%); }
#PlayerNotification[error="true"] { background-color: rgba(253, 56, 56, 96%); }
#PlayerNotification QLabel { background: transparent; }
#PlayerNotification QLabel#messageLabel { color: white; font-size: 14px; }
#PlayerNotification QPushButton#closeButton { border: none; background: transparent; image: url(:/mainwidget/icons/boxCloseCam.png); }
#PlayerNotification QPushButton#closeButton:hover { image: url(:/mainwidget/icons/boxCloseCam_hover.png); }
#PlayerNotification QPushButton#closeButton:pressed { padding-left: 2px; padding-top: 1px; }
)";

} // namespace

PlayerNotification::PlayerNotification(const QString& text, bool error, QWidget* parent)
    : QFrame(parent, Qt::FramelessWindowHint)
    , m_pixmapLabel(new QLabel)
    , m_messageLabel(new QLabel)
    , m_closeButton(new QPushButton)
{
    setObjectName(QStringLiteral("PlayerNotification"));
    m_pixmapLabel->setObjectName(QStringLiteral("pixmapLabel"));
    m_messageLabel->setObjectName(QStringLiteral("messageLabel"));
    m_closeButton->setObjectName(QStringLiteral("closeButton"));

    m_pixmapLabel->setPixmap(QPixmap(error ? QStringLiteral(":/player/icons/notificationError.png")
                                           : QStringLiteral(":/player/icons/notification_ok.png")));
    m_pixmapLabel->setFixedSize(24, 24);
    m_messageLabel->setTextFormat(Qt::RichText);
    m_messageLabel->setWordWrap(true);
    m_messageLabel->setText(text);
    m_closeButton->setFixedSize(18, 18);
    m_closeButton->setCursor(Qt::PointingHandCursor);
    m_closeButton->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(m_pixmapLabel, 0, Qt::AlignTop);
    layout->addWidget(m_messageLabel, 1);
    layout->addWidget(m_closeButton, 0, Qt::AlignTop);

    setAttribute(Qt::WA_ShowWithoutActivating);
    // The style sheet selects by this property, so it is set before the sheet.
    setProperty("error", error);
    m_pixmapLabel->setProperty("error", error);
    setStyleSheet(QLatin1String(notificationStyle));

    connect(m_messageLabel, &QLabel::linkActivated, this, &PlayerNotification::onLinkActivated);
    QMetaObject::connectSlotsByName(this);
    m_displayTimerId = startTimer(displayTime);
}

void PlayerNotification::stayUntilClosed()
{
    if (m_displayTimerId != -1)
        killTimer(m_displayTimerId);
    m_displayTimerId = -1;
}

void PlayerNotification::animateTo(QPoint position)
{
    // The owner restacks its frames whenever one goes; a newer place wins.
    if (m_moving)
        m_moving->stop();
    m_moving = geometryAnimation(QRect(position, size()));
    m_moving->start(QAbstractAnimation::DeleteWhenStopped);
}

QPropertyAnimation* PlayerNotification::geometryAnimation(const QRect& target)
{
    auto* animation = new QPropertyAnimation(this, "geometry", this);
    animation->setStartValue(geometry());
    animation->setEndValue(target);
    animation->setDuration(animationDuration);
    animation->setEasingCurve(QEasingCurve::InQuint);
    return animation;
}

void PlayerNotification::timerEvent(QTimerEvent* event)
{
    // Both timers fire once: a frame that its owner keeps a moment longer must
    // neither slide again nor report its closing twice.
    if (event->timerId() == m_closeTimerId) {
        killTimer(m_closeTimerId);
        m_closeTimerId = -1;
        emitClosed();
        return;
    }
    if (event->timerId() != m_displayTimerId)
        return QFrame::timerEvent(event);
    killTimer(m_displayTimerId);
    m_displayTimerId = -1;
    if (m_closed || m_closeTimerId != -1)
        return; // the user closed it already: no slide
    QPropertyAnimation* slide = geometryAnimation(geometry().translated(0, height()));
    connect(slide, &QPropertyAnimation::finished, this, &PlayerNotification::emitClosed);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void PlayerNotification::on_closeButton_clicked()
{
    closeSoon();
}

void PlayerNotification::onLinkActivated(const QString& link)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(link));
    closeSoon();
}

void PlayerNotification::closeSoon()
{
    if (m_closeTimerId == -1 && !m_closed)
        m_closeTimerId = startTimer(closeDelay);
}

void PlayerNotification::emitClosed()
{
    if (m_closed)
        return;
    m_closed = true;
    emit closed();
}

} // namespace OrvantaClient::GUI
