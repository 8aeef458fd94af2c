#pragma once

#include <QFrame>

class QLabel;

namespace OrvantaClient::GUI {

// The bar over the grid while a tour runs: where the tour is in its loop, and
// the way to stop it.
class TourIndicator : public QFrame
{
    Q_OBJECT
public:
    explicit TourIndicator(QWidget* parent = nullptr);

    // position counts from 1; msToNext < 0 means paused.
    void showState(const QString& name, int position, int count, int msToNext);
    QString text() const;

signals:
    void stopClicked();

private:
    QLabel* m_label;
};

} // namespace OrvantaClient::GUI
