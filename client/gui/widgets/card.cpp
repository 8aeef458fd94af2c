#include "card.h"

#include "spinnerwidget.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace {

constexpr int pictureHeight = 140;

} // namespace

Card::Card(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("card"));
    setAttribute(Qt::WA_StyledBackground);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral(
        "OrvantaClient--GUI--Card { background: white; border: 1px solid rgb(229, 231, 235); border-radius: 8px; }"
        "OrvantaClient--GUI--Card:hover { border-color: rgb(147, 197, 253); }"
        "OrvantaClient--GUI--Card[current=\"true\"] { border: 2px solid rgb(59, 130, 246); }"
        "#cardPicture { border-top-left-radius: 8px; border-top-right-radius: 8px; background: rgb(229, 231, 235); }"
        "#cardTitle { color: rgb(31, 41, 55); font-size: 13px; }"
        "#cardMenuButton { border: none; border-radius: 4px; padding: 2px; }"
        "#cardMenuButton:hover { background: rgb(243, 244, 246); }"));

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(1, 1, 1, 1);
    box->setSpacing(0);

    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("cardPicture"));
    m_picture->setScaledContents(true);
    m_picture->setFixedHeight(pictureHeight);
    m_picture->setMinimumWidth(1);
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* pictureBox = new QHBoxLayout(m_picture);
    m_spinner = new SpinnerWidget;
    m_spinner->setColor(QColor(156, 163, 175));
    pictureBox->addWidget(m_spinner, 0, Qt::AlignCenter);
    box->addWidget(m_picture);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(10, 6, 6, 6);
    bottom->setSpacing(6);
    m_indicator = new QLabel;
    m_indicator->setObjectName(QStringLiteral("cardIndicator"));
    m_indicator->hide();
    bottom->addWidget(m_indicator);
    m_titleLabel = new QLabel;
    m_titleLabel->setObjectName(QStringLiteral("cardTitle"));
    m_titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bottom->addWidget(m_titleLabel, 1);
    m_menuButton = new QToolButton;
    m_menuButton->setObjectName(QStringLiteral("cardMenuButton"));
    m_menuButton->setIcon(QIcon(QStringLiteral(":/sidebar/icons/menuDots.png")));
    m_menuButton->setToolTip(tr("Menu"));
    bottom->addWidget(m_menuButton);
    box->addLayout(bottom);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("cardMenu"));
    connect(m_menuButton, &QToolButton::clicked, this, [this] {
        m_menu->popup(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height())));
    });

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &Card::on_Card_customContextMenuRequested);
}

void Card::setTitle(QString title)
{
    m_title = title;
    m_titleLabel->setText(title);
    m_titleLabel->setToolTip(title);
}

void Card::setPicture(const QPixmap& picture)
{
    m_pixmap = picture;
    m_picture->setPixmap(picture);
}

void Card::setIndicator(const QPixmap& indicator)
{
    m_indicator->setPixmap(indicator);
    m_indicator->setVisible(!indicator.isNull());
}

void Card::startSpinner()
{
    m_spinner->start();
}

void Card::stopSpinner()
{
    m_spinner->stop();
}

bool Card::isSpinning() const
{
    return m_spinner->isSpinning();
}

void Card::on_Card_customContextMenuRequested(QPoint pos)
{
    m_menu->popup(mapToGlobal(pos));
}

void Card::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressPos = event->pos();
    if (!m_shifted) {
        m_shifted = true;
        move(pos() + QPoint(pressShift, 0));
    }
}

void Card::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)
        || (event->pos() - m_pressPos).manhattanLength() < QApplication::startDragDistance()) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    QMimeData* mime = dragData();
    if (!mime)
        return;
    // A drag is not a click: the release belongs to the drop target.
    m_pressed = false;
    unshift();
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (!m_pixmap.isNull())
        drag->setPixmap(m_pixmap.scaled(80, 50, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    drag->exec(Qt::CopyAction);
}

void Card::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    unshift();
    emit clicked();
}

void Card::unshift()
{
    if (!m_shifted)
        return;
    m_shifted = false;
    move(pos() - QPoint(pressShift, 0));
}

} // namespace OrvantaClient::GUI
