#include "reconnectlabel.h"

#include <QEvent>

namespace OrvantaClient::GUI::Player {

ReconnectLabel::ReconnectLabel(QWidget* cell)
    : QLabel(cell)
{
    setObjectName(QStringLiteral("reconnectLabel"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAlignment(Qt::AlignCenter);
    setStyleSheet(QStringLiteral("color: white; font-size: 13px; background-color: rgba(0, 0, 0, 120);"
                                 " padding: 2px 6px; border-radius: 3px;"));
    cell->installEventFilter(this);
    hide();
}

void ReconnectLabel::setAttempt(int attempt, int maximum)
{
    if (attempt <= 0) {
        hide();
        return;
    }
    setText(tr("Reconnecting (%1/%2)...").arg(attempt).arg(maximum));
    adjustSize();
    place();
    show();
    raise();
}

void ReconnectLabel::place()
{
    // Just under the spinner, which spins in the middle of the cell.
    const QWidget* cell = parentWidget();
    move((cell->width() - width()) / 2, cell->height() / 2 + 24);
}

bool ReconnectLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

} // namespace OrvantaClient::GUI::Player
