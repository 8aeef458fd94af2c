#pragma once

#include "model/camera.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace OrvantaClient::GUI::Player {

// "Patrol: Route 2" with a "Stop" button, in the bottom left corner of a cell
// whose PTZ camera follows a patrol route sent from this program; hidden
// otherwise, and in a cell too narrow for it. The camera is shared by every cell that shows it, so they all
// tell alike, in every window.
class PatrolBadge : public QWidget
{
    Q_OBJECT
public:
    PatrolBadge(API::CameraPtr camera, QWidget* cell);

    QString text() const;
    QPushButton* stopButton() const { return m_stop; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    API::CameraPtr m_camera;
    QLabel* m_label;
    QPushButton* m_stop;
};

} // namespace OrvantaClient::GUI::Player
