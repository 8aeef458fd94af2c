#pragma once

#include "apitypes.h"

#include <QWidget>

namespace OrvantaClient::GUI {

// The top-level window of a signed-in session.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    API::LayoutPtr currentLayout() const { return m_layout; }
    API::CameraPtr activeCamera() const { return m_activeCamera; }

signals:
    void signout();
    void clone();
    void closeRequested(GUI::MainWindow* window);
    void openInNewWindow(API::CameraPtr camera);
    void openInNewWindow(API::LayoutPtr layout);
    void cameraActivated(API::CameraPtr camera);
    void volumeChanged(int volume);
    void soundEnabled(bool enabled);

public slots:
    void openCamera(API::CameraPtr camera);
    bool openLayout(API::LayoutPtr layout);
    void setActiveCamera(API::CameraPtr camera);
    void setSoundVolume(int volume);
    void enableSound(bool enable);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    API::LayoutPtr m_layout;
    API::CameraPtr m_activeCamera;
};

} // namespace OrvantaClient::GUI
