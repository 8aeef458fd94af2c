#include "cameracard.h"

#include "gui/dialogs/camerasettingsdialog.h"
#include "model/camera.h"
#include "model/server.h"

#include <QAction>
#include <QDataStream>
#include <QMenu>
#include <QMimeData>

namespace OrvantaClient::GUI {

CameraCard::CameraCard(API::CameraPtr camera, QWidget* parent)
    : Card(parent)
    , m_camera(std::move(camera))
{
    setObjectName(QStringLiteral("cameraCard"));
    connect(this, &Card::clicked, this, [this] { emit openCamera(m_camera); });

    API::Camera* item = m_camera.get();
    connect(item, &API::Camera::cameraNameChanged, this, &CameraCard::updateTitle);
    connect(item, &API::Camera::previewChanged, this, &CameraCard::updatePreview);
    connect(item, &API::Camera::flagsChanged, this, &CameraCard::updateOnlineState);
    connect(item, &API::Camera::orientationChanged, this, &CameraCard::updatePreview);
    connect(item, &API::Camera::previewUpdatingStarted, this, &CameraCard::onPreviewUpdatingStarted);

    updateOnlineState();
}

CameraCard::~CameraCard()
{
    if (isOnScreen())
        m_camera->unwatch();
}

void CameraCard::fillMenu(QMenu* menu)
{
    QAction* open = menu->addAction(tr("Open camera"));
    open->setObjectName(QStringLiteral("openCameraAction"));
    m_addToLayout = menu->addAction(tr("Add to layout"));
    m_addToLayout->setObjectName(QStringLiteral("addToLayoutAction"));
    m_addToLayout->setEnabled(m_addToLayoutEnabled);
    QAction* settings = menu->addAction(tr("Settings"));
    settings->setObjectName(QStringLiteral("cameraSettingsAction"));
    QAction* newWindow = menu->addAction(tr("Open in new window"));
    newWindow->setObjectName(QStringLiteral("openInNewWindowAction"));

    connect(open, &QAction::triggered, this, [this] { emit openCamera(m_camera); });
    connect(m_addToLayout, &QAction::triggered, this, [this] { emit addToLayout(m_camera); });
    // The dialog runs its own loop; it holds the camera itself, so this card
    // may go away meanwhile.
    connect(settings, &QAction::triggered, this, [camera = m_camera] { CameraSettingsDialog::showFor(camera); });
    connect(newWindow, &QAction::triggered, this, [this] { emit openInNewWindow(m_camera); });
}

void CameraCard::setAddToLayoutEnabled(bool enabled)
{
    m_addToLayoutEnabled = enabled;
    if (m_addToLayout)
        m_addToLayout->setEnabled(enabled);
}

void CameraCard::updateOnlineState()
{
    m_indicatorSource = QLatin1String(m_camera->isOnline() ? onlineIcon : offlineIcon);
    setIndicator(QPixmap(m_indicatorSource));
    updatePreview();
    updateTitle();
}

void CameraCard::updatePreview()
{
    stopSpinner();
    if (!m_camera->isAvailable()) {
        m_pictureSource = QLatin1String(previewNoCamIcon);
        setPicture(QPixmap(m_pictureSource));
        return;
    }
    const QPixmap preview = m_camera->transformedPreview();
    if (preview.isNull()) {
        m_pictureSource = QLatin1String(previewCamIcon);
        setPicture(QPixmap(m_pictureSource));
        return;
    }
    m_pictureSource.clear();
    setPicture(preview);
}

QString CameraCard::titleOf(const API::Camera& camera)
{
    QString title = camera.name();
    if (!camera.isOnline())
        title += QStringLiteral(" (") + camera.statusText() + QLatin1Char(')');
    return title;
}

void CameraCard::updateTitle()
{
    setTitle(titleOf(*m_camera));
}

void CameraCard::onPreviewUpdatingStarted()
{
    if (m_camera->preview().isNull())
        startSpinner();
}

QMimeData* CameraCard::dragData() const
{
    const API::Server* server = m_camera->server();
    if (!server)
        return nullptr;
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << server->id() << qint32(m_camera->id());
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("camera"), data);
    return mime;
}

// Another window's card or a layout may show the same camera: each one that
// shows it is counted, and the camera keeps its picture fresh while any is.
void CameraCard::onScreenChanged(bool onScreen)
{
    if (onScreen)
        m_camera->watch();
    else
        m_camera->unwatch();
}

} // namespace OrvantaClient::GUI
