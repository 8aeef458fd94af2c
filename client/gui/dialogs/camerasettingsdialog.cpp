#include "camerasettingsdialog.h"

#include "model/camera.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTransform>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace {

QToolButton* rotateButton(const QString& objectName, const QString& toolTip)
{
    auto* button = new QToolButton;
    button->setObjectName(objectName);
    button->setToolTip(toolTip);
    button->setIcon(QIcon(QStringLiteral(":/dialogs/icons/rotate_") + objectName + QStringLiteral(".png")));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    return button;
}

} // namespace

CameraSettingsDialog::CameraSettingsDialog(API::CameraPtr camera, QWidget* parent)
    : QDialog(parent)
    , m_camera(std::move(camera))
    , m_rotation(m_camera->rotation())
    , m_mirror(m_camera->mirror())
    , m_preview(new QLabel)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tr("Camera settings"));

    auto* name = new QLineEdit(m_camera->name());
    name->setFrame(false);
    name->setReadOnly(true);
    auto* form = new QFormLayout;
    form->addRow(tr("Name"), name);

    m_preview->setFixedSize(320, 180);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setStyleSheet(QStringLiteral("background-color: black;"));

    QToolButton* clockwise = rotateButton(QStringLiteral("clockwise"), tr("Turn clockwise"));
    QToolButton* counterclockwise = rotateButton(QStringLiteral("counterclockwise"), tr("Turn counterclockwise"));
    const bool mayRotate = m_camera->hasOwnerRight() || m_camera->isLocal();
    clockwise->setEnabled(mayRotate);
    counterclockwise->setEnabled(mayRotate);
    auto* rotation = new QGroupBox(tr("Rotation"));
    auto* rotationLayout = new QHBoxLayout(rotation);
    rotationLayout->addStretch();
    rotationLayout->addWidget(counterclockwise);
    rotationLayout->addWidget(clockwise);
    rotationLayout->addStretch();

    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addWidget(rotation);
    layout->addWidget(buttonBox);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QMetaObject::connectSlotsByName(this);
    // The preview may still be on its way when the dialog opens.
    connect(m_camera.get(), &API::PreviewHandler::previewChanged, this, &CameraSettingsDialog::drawPreview);
    drawPreview();
}

void CameraSettingsDialog::showFor(API::CameraPtr camera)
{
    if (!camera)
        return;
    CameraSettingsDialog dialog(std::move(camera));
    if (dialog.exec() == QDialog::Accepted)
        dialog.apply();
}

void CameraSettingsDialog::apply()
{
    // C++'s remainder keeps the angle's sign: one turn counterclockwise is -90.
    m_camera->setRotation(m_rotation % 360);
    m_camera->saveRotation();
    m_camera->setMirror(m_mirror);
}

void CameraSettingsDialog::on_clockwise_clicked()
{
    m_rotation += 90;
    drawPreview();
}

void CameraSettingsDialog::on_counterclockwise_clicked()
{
    m_rotation -= 90;
    drawPreview();
}

void CameraSettingsDialog::drawPreview()
{
    const QPixmap preview = m_camera->preview();
    if (preview.isNull()) {
        m_preview->clear();
        return;
    }
    const QTransform transform = QTransform().scale(m_mirror ? -1 : 1, 1).rotate(m_rotation);
    m_preview->setPixmap(preview.transformed(transform, Qt::FastTransformation)
                             .scaled(m_preview->size(), Qt::KeepAspectRatio, Qt::FastTransformation));
}

} // namespace OrvantaClient::GUI
