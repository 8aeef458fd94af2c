#include "mainwindow.h"

#include "camera.h"
#include "constants.h"
#include "layout.h"
#include "settings.h"

#include <QCloseEvent>
#include <QDebug>

namespace OrvantaClient::GUI {

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
    , m_layout(std::make_shared<API::Layout>())
{
    setWindowTitle(QString::fromLatin1(App::Constants::applicationName));
    resize(1280, 800);
}

void MainWindow::openCamera(API::CameraPtr camera)
{
    if (!camera)
        return;
    qDebug() << "Open single camera" << camera->name();
    setActiveCamera(camera);
}

bool MainWindow::openLayout(API::LayoutPtr layout)
{
    if (!layout)
        return false;
    qDebug() << "Open layout" << layout->name();
    m_layout = layout;
    return true;
}

void MainWindow::setActiveCamera(API::CameraPtr camera)
{
    m_activeCamera = camera;
}

void MainWindow::setSoundVolume(int volume)
{
    Q_UNUSED(volume)
}

void MainWindow::enableSound(bool enable)
{
    Q_UNUSED(enable)
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    App::Settings& settings = App::Settings::instance();
    settings.setValue(QStringLiteral("mainWindow/geometry"), saveGeometry());
    settings.sync();
    event->accept();
    emit closeRequested(this);
}

} // namespace OrvantaClient::GUI
