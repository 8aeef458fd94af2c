#pragma once

#include "model/apitypes.h"

#include <QDialog>

class QLabel;
class QToolButton;

namespace OrvantaClient::GUI {

// Shows a camera's name and preview and lets the user turn its picture in
// quarter turns. The turn is stored only when the dialog is accepted.
class CameraSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    // camera must not be null.
    explicit CameraSettingsDialog(API::CameraPtr camera, QWidget* parent = nullptr);

    static void showFor(API::CameraPtr camera);

    // The angle as turned so far, not wrapped.
    int angle() const { return m_rotation; }
    // Stores the turn on the camera and saves it.
    void apply();

private slots:
    void on_clockwise_clicked();
    void on_counterclockwise_clicked();

private:
    void drawPreview();

    API::CameraPtr m_camera;
    int m_rotation;
    bool m_mirror;
    QLabel* m_preview;
};

} // namespace OrvantaClient::GUI
