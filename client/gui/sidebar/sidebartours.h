#pragma once

#include <QFrame>
#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class SideBarToursPrivate;
}

// The tours section of the layouts page: one row per stored tour, to start or
// stop it, edit or delete it, and a button to make a new one.
class SideBarTours : public QFrame
{
    Q_OBJECT
public:
    explicit SideBarTours(QWidget* parent = nullptr);
    ~SideBarTours() override;

    // Marks the row of the tour that runs; an empty id marks none.
    void setRunningTour(const QString& id);

public slots:
    // Asks for a new tour and stores it; its id, or empty when cancelled.
    QString newTour();
    void editTour(const QString& id);
    void deleteTour(const QString& id);

signals:
    void startTour(QString id);
    void stopTour();

private:
    void rebuild();

    std::unique_ptr<Internal::SideBarToursPrivate> d;
};

} // namespace OrvantaClient::GUI
