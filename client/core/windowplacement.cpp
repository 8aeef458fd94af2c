#include "windowplacement.h"

namespace OrvantaClient::App {

QRect WindowPlacement::place(const QRect& window, const QRect& source, const QList<QRect>& screens,
                             const QList<bool>& occupied)
{
    QRect placed = window;
    if (!source.isNull()) {
        placed.setSize(source.size());
        placed.moveTopLeft(source.topLeft() + QPoint(30, 30));
    }
    if (screens.size() >= 2) {
        for (int i = 0; i < screens.size(); ++i) {
            if (i < occupied.size() && occupied.at(i))
                continue;
            placed.moveCenter(screens.at(i).center());
            break;
        }
    }
    return placed;
}

} // namespace OrvantaClient::App
