#pragma once

#include "gui/widgets/card.h"
#include "model/apitypes.h"

class QAction;

namespace OrvantaClient::GUI {

// A camera of the roster: its picture while it can be watched, its online
// state and its name. It follows the camera's own signals, and has the camera
// fetch and refresh its picture only while the card is on screen.
class CameraCard : public Card
{
    Q_OBJECT
public:
    explicit CameraCard(API::CameraPtr camera, QWidget* parent = nullptr);
    ~CameraCard() override;

    API::CameraPtr camera() const { return m_camera; }
    // The title a card of the camera shows: its name, and its state when offline.
    static QString titleOf(const API::Camera& camera);
    void setAddToLayoutEnabled(bool enabled);

    static constexpr char previewCamIcon[] = ":/sidebar/icons/rosterCardPreviewCam.png";
    static constexpr char previewNoCamIcon[] = ":/sidebar/icons/rosterCardPreviewNoCam.png";
    static constexpr char onlineIcon[] = ":/sidebar/icons/rosterCardOn.png";
    static constexpr char offlineIcon[] = ":/sidebar/icons/rosterCardOff.png";

    // The picture and indicator chosen last, by resource name (empty for a preview).
    QString pictureSource() const { return m_pictureSource; }
    QString indicatorSource() const { return m_indicatorSource; }
    bool isPreviewLoading() const { return isSpinning(); }

signals:
    void openCamera(API::CameraPtr camera);
    void addToLayout(API::CameraPtr camera);
    void openInNewWindow(API::CameraPtr camera);

protected:
    QMimeData* dragData() const override;
    void fillMenu(QMenu* menu) override;
    void onScreenChanged(bool onScreen) override;

private slots:
    void updateOnlineState();
    void updatePreview();
    void updateTitle();
    void onPreviewUpdatingStarted();

private:
    API::CameraPtr m_camera;
    QAction* m_addToLayout = nullptr;
    bool m_addToLayoutEnabled = true;
    QString m_pictureSource;
    QString m_indicatorSource;
};

} // namespace OrvantaClient::GUI
