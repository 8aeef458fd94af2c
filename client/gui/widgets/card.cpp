#include "card.h"

#include "spinnerwidget.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace {

constexpr int pictureHeight = 140;

const QString& cardStyle()
{
    static const QString style = QStringLiteral(
        "OrvantaClient--GUI--Card { background: white; border: 1px solid rgb(229, 231, 235); border-radius: 8px; }"
        "OrvantaClient--GUI--Card:hover { border-color: rgb(147, 197, 253); }"
        "OrvantaClient--GUI--Card[current=\"true\"] { border: 2px solid rgb(59, 130, 246); }"
        "#cardPicture { border-top-left-radius: 8px; border-top-right-radius: 8px; background: rgb(229, 231, 235); }"
        "#cardTitle { color: rgb(31, 41, 55); font-size: 13px; }"
        "#cardMenuButton { border: none; border-radius: 4px; padding: 2px; }"
        "#cardMenuButton:hover { background: rgb(243, 244, 246); }");
    return style;
}

} // namespace

class CardPrivate
{
public:
    QString title;
    QPixmap picture;
    QPixmap indicator;
    bool spinning = false;
    QMenu* menu = nullptr;

    // The insides, while built.
    QPointer<QWidget> box; // holds them all
    QLabel* pictureLabel = nullptr;
    QLabel* indicatorLabel = nullptr;
    QLabel* titleLabel = nullptr;
    QToolButton* menuButton = nullptr;
    SpinnerWidget* spinner = nullptr;
    bool buildQueued = false;

    QTimer checker;
    bool onScreen = false;

    QPoint pressPos;
    bool pressed = false;
    bool shifted = false;
};

Card::Card(QWidget* parent)
    : QFrame(parent)
    , d(std::make_unique<CardPrivate>())
{
    setObjectName(QStringLiteral("card"));
    setAttribute(Qt::WA_StyledBackground);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    d->checker.setSingleShot(true);
    connect(&d->checker, &QTimer::timeout, this, &Card::checkOnScreen);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](QPoint pos) { menu()->popup(mapToGlobal(pos)); });
}

Card::~Card() = default;

QString Card::title() const
{
    return d->title;
}

QMenu* Card::menu() const
{
    if (!d->menu) {
        auto* self = const_cast<Card*>(this);
        d->menu = new QMenu(self);
        d->menu->setObjectName(QStringLiteral("cardMenu"));
        self->fillMenu(d->menu);
    }
    return d->menu;
}

bool Card::isBuilt() const
{
    return d->box;
}

bool Card::isOnScreen() const
{
    return d->onScreen;
}

// Every card answers the size of a built one, so that the list is laid out
// the same before and after its cards are built. The size is measured once on
// a card built aside.
QSize Card::sizeHint() const
{
    static QSize hint;
    if (!hint.isValid()) {
        Card sample;
        sample.setTitle(QStringLiteral("X"));
        sample.build();
        sample.ensurePolished();
        hint = sample.QFrame::sizeHint();
    }
    return hint;
}

QSize Card::minimumSizeHint() const
{
    return QSize(1, sizeHint().height());
}

void Card::setTitle(QString title)
{
    d->title = title;
    if (d->box) {
        d->titleLabel->setText(title);
        d->titleLabel->setToolTip(title);
    }
}

void Card::setPicture(const QPixmap& picture)
{
    d->picture = picture;
    if (d->box)
        d->pictureLabel->setPixmap(picture);
}

void Card::setIndicator(const QPixmap& indicator)
{
    d->indicator = indicator;
    if (d->box) {
        d->indicatorLabel->setPixmap(indicator);
        d->indicatorLabel->setVisible(!indicator.isNull());
    }
}

void Card::startSpinner()
{
    d->spinning = true;
    if (d->box)
        d->spinner->start();
}

void Card::stopSpinner()
{
    d->spinning = false;
    if (d->box)
        d->spinner->stop();
}

bool Card::isSpinning() const
{
    return d->spinning;
}

void Card::build()
{
    d->buildQueued = false;
    if (d->box)
        return;
    setStyleSheet(cardStyle());
    d->box = new QWidget(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(d->box);

    auto* box = new QVBoxLayout(d->box);
    box->setContentsMargins(1, 1, 1, 1);
    box->setSpacing(0);

    d->pictureLabel = new QLabel;
    d->pictureLabel->setObjectName(QStringLiteral("cardPicture"));
    d->pictureLabel->setScaledContents(true);
    d->pictureLabel->setFixedHeight(pictureHeight);
    d->pictureLabel->setMinimumWidth(1);
    d->pictureLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* pictureBox = new QHBoxLayout(d->pictureLabel);
    d->spinner = new SpinnerWidget;
    d->spinner->setColor(QColor(156, 163, 175));
    pictureBox->addWidget(d->spinner, 0, Qt::AlignCenter);
    box->addWidget(d->pictureLabel);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(10, 6, 6, 6);
    bottom->setSpacing(6);
    d->indicatorLabel = new QLabel;
    d->indicatorLabel->setObjectName(QStringLiteral("cardIndicator"));
    bottom->addWidget(d->indicatorLabel);
    d->titleLabel = new QLabel;
    d->titleLabel->setObjectName(QStringLiteral("cardTitle"));
    d->titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bottom->addWidget(d->titleLabel, 1);
    d->menuButton = new QToolButton;
    d->menuButton->setObjectName(QStringLiteral("cardMenuButton"));
    d->menuButton->setIcon(QIcon(QStringLiteral(":/sidebar/icons/menuDots.png")));
    d->menuButton->setToolTip(tr("Menu"));
    bottom->addWidget(d->menuButton);
    box->addLayout(bottom);
    connect(d->menuButton, &QToolButton::clicked, this, [this] {
        menu()->popup(d->menuButton->mapToGlobal(QPoint(0, d->menuButton->height())));
    });

    const bool spinning = d->spinning;
    setTitle(d->title);
    setPicture(d->picture);
    setIndicator(d->indicator);
    spinning ? startSpinner() : stopSpinner();
}

void Card::tearDown()
{
    // Not under the pointer: a press or an open menu still belongs to it.
    if (!d->box || d->pressed || (d->menu && d->menu->isVisible()))
        return;
    delete layout();
    delete d->box;
    d->pictureLabel = nullptr;
    d->indicatorLabel = nullptr;
    d->titleLabel = nullptr;
    d->menuButton = nullptr;
    d->spinner = nullptr;
    setStyleSheet(QString());
}

// A card that is painted is in view; one that flies past while the list
// scrolls is not kept, nor counted as on screen.
void Card::paintEvent(QPaintEvent* event)
{
    if (!d->box) {
        // Until the insides come in the next turn, the card's plain shape.
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(229, 231, 235));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        if (!d->buildQueued) {
            d->buildQueued = true;
            QTimer::singleShot(0, this, &Card::build);
        }
    } else {
        QFrame::paintEvent(event);
    }
    if (!d->onScreen && !d->checker.isActive())
        d->checker.start(settleMs);
}

void Card::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    setOnScreen(false);
    if (d->box && !d->checker.isActive())
        d->checker.start(recheckMs);
}

void Card::checkOnScreen()
{
    const bool inView = isInView();
    setOnScreen(inView);
    if (inView)
        d->checker.start(recheckMs);
    else
        tearDown();
}

void Card::setOnScreen(bool onScreen)
{
    if (onScreen == d->onScreen)
        return;
    d->onScreen = onScreen;
    onScreenChanged(onScreen);
}

bool Card::isInView() const
{
    const QWidget* top = window();
    return isVisible() && top->isVisible() && !top->isMinimized() && !visibleRegion().isEmpty();
}

void Card::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    d->pressed = true;
    d->pressPos = event->pos();
    if (!d->shifted) {
        d->shifted = true;
        move(pos() + QPoint(pressShift, 0));
    }
}

void Card::mouseMoveEvent(QMouseEvent* event)
{
    if (!d->pressed || !(event->buttons() & Qt::LeftButton)
        || (event->pos() - d->pressPos).manhattanLength() < QApplication::startDragDistance()) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    QMimeData* mime = dragData();
    if (!mime)
        return;
    // A drag is not a click: the release belongs to the drop target.
    d->pressed = false;
    unshift();
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (!d->picture.isNull())
        drag->setPixmap(d->picture.scaled(80, 50, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    drag->exec(Qt::CopyAction);
}

void Card::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !d->pressed) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    d->pressed = false;
    unshift();
    emit clicked();
}

void Card::unshift()
{
    if (!d->shifted)
        return;
    d->shifted = false;
    move(pos() - QPoint(pressShift, 0));
}

} // namespace OrvantaClient::GUI
