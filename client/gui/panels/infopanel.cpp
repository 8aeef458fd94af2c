#include "infopanel.h"

#include "gridsizeeditor.h"
#include "model/camera.h"
#include "model/layout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace OrvantaClient::GUI {

namespace {

const char panelStyle[] = R"(
OrvantaClient--GUI--InfoPanel { background-color: rgb(30, 30, 35); }
QLabel#layoutTitle { color: white; font-size: 15px; font-weight: bold; }
QLineEdit#layoutNameEdit { color: white; background: rgb(45, 45, 52); border: 1px solid rgb(62, 183, 253);
    border-radius: 3px; padding: 2px 6px; font-size: 14px; min-width: 220px; }
QPushButton { color: rgb(220, 222, 228); background: transparent; border: 1px solid rgb(70, 70, 80);
    border-radius: 3px; padding: 4px 10px; font-size: 13px; }
QPushButton:hover { background-color: rgba(255, 255, 255, 18); }
QPushButton:focus { border-color: rgb(62, 183, 253); }
QPushButton:disabled { color: rgb(110, 110, 120); border-color: rgb(55, 55, 62); }
QPushButton#saveLayoutButton { background-color: rgb(25, 134, 243); border-color: rgb(25, 134, 243); color: white; }
)";

} // namespace

InfoPanel::InfoPanel(QWidget* parent)
    : QWidget(parent)
    , m_title(new QLabel(this))
    , m_nameEdit(new QLineEdit(this))
    , m_showButton(new QPushButton(tr("Show toolbars"), this))
    , m_editButton(new QPushButton(tr("Edit view"), this))
    , m_gridButton(new QPushButton(tr("Edit grid"), this))
    , m_saveButton(new QPushButton(tr("Save"), this))
    , m_cancelButton(new QPushButton(tr("Cancel"), this))
    , m_cloneButton(new QPushButton(tr("Open new window"), this))
    , m_closeButton(new QPushButton(tr("Close view"), this))
    , m_gridEditor(new GridSizeEditor(this))
{
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QLatin1String(panelStyle));
    m_title->setObjectName(QStringLiteral("layoutTitle"));
    m_nameEdit->setObjectName(QStringLiteral("layoutNameEdit"));
    m_nameEdit->setMaxLength(100);
    m_showButton->setObjectName(QStringLiteral("showToolbarsButton"));
    m_editButton->setObjectName(QStringLiteral("editLayoutButton"));
    m_gridButton->setObjectName(QStringLiteral("editGridButton"));
    m_saveButton->setObjectName(QStringLiteral("saveLayoutButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelLayoutButton"));
    m_cloneButton->setObjectName(QStringLiteral("cloneWindowButton"));
    m_closeButton->setObjectName(QStringLiteral("closeLayoutButton"));
    m_gridEditor->setWindowFlags(Qt::Popup);
    m_gridEditor->hide();

    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(10, 6, 10, 6);
    box->setSpacing(8);
    box->addWidget(m_showButton);
    box->addWidget(m_title);
    box->addWidget(m_nameEdit);
    box->addStretch();
    for (QPushButton* button : {m_editButton, m_gridButton, m_saveButton, m_cancelButton, m_cloneButton, m_closeButton}) {
        button->setCursor(Qt::PointingHandCursor);
        // Reached with Tab, not taken by a click: a click leaves the keys to the grid.
        button->setFocusPolicy(Qt::TabFocus);
        box->addWidget(button);
    }
    m_showButton->setCursor(Qt::PointingHandCursor);
    m_showButton->setFocusPolicy(Qt::TabFocus);
    m_showButton->hide();

    connect(m_showButton, &QPushButton::clicked, this, &InfoPanel::showRequest);
    connect(m_editButton, &QPushButton::clicked, this, &InfoPanel::editLayout);
    connect(m_saveButton, &QPushButton::clicked, this, &InfoPanel::saveEditing);
    connect(m_cancelButton, &QPushButton::clicked, this, &InfoPanel::cancelEditing);
    connect(m_cloneButton, &QPushButton::clicked, this, &InfoPanel::cloneWindowClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &InfoPanel::closeLayout);
    connect(m_nameEdit, &QLineEdit::returnPressed, this, &InfoPanel::saveEditing);
    connect(m_gridButton, &QPushButton::clicked, this, &InfoPanel::showGridEditor);
    // Queued: a question may follow, and the popup's own mouse event is over by then.
    connect(
        m_gridEditor, &GridSizeEditor::sizeSelected, this,
        [this](int rows, int columns) {
            m_gridEditor->hide();
            if (m_layout && m_editing && confirmShrink(rows, columns))
                m_layout->resize(rows, columns);
        },
        Qt::QueuedConnection);
    updateTitle();
    updateButtons();
}

void InfoPanel::setLayout(API::LayoutPtr layout)
{
    if (m_layout)
        disconnect(m_layout.get(), nullptr, this, nullptr);
    m_layout = layout;
    if (m_layout) {
        connect(m_layout.get(), &API::Layout::layoutNameChanged, this, &InfoPanel::updateTitle);
        connect(m_layout.get(), &API::Layout::cameraAdded, this, &InfoPanel::updateButtons);
        connect(m_layout.get(), &API::Layout::cameraRemoved, this, &InfoPanel::updateButtons);
    }
    updateTitle();
    updateButtons();
}

void InfoPanel::setEditing(bool editing)
{
    m_editing = editing;
    if (editing && m_layout) {
        m_nameEdit->setText(m_layout->name());
        m_nameEdit->selectAll();
    }
    updateTitle();
    updateButtons();
}

QString InfoPanel::layoutName() const
{
    const QString typed = m_nameEdit->text().trimmed();
    if (!typed.isEmpty())
        return typed;
    return m_layout ? m_layout->name() : QString();
}

void InfoPanel::focusNameEdit()
{
    if (!m_editing)
        return;
    // Typing replaces the name given by default.
    m_nameEdit->setFocus(Qt::OtherFocusReason);
    m_nameEdit->selectAll();
}

bool InfoPanel::confirmShrink(int rows, int columns)
{
    const QList<API::CameraPtr> leaving = m_layout->camerasOutside(rows, columns);
    if (leaving.isEmpty())
        return true;
    // A few names say which; the rest only how many more.
    constexpr int namesShown = 6;
    QStringList names;
    for (int i = 0; i < leaving.size() && i < namesShown; ++i)
        names << QStringLiteral("\"%1\"").arg(fontMetrics().elidedText(leaving.at(i)->name(), Qt::ElideRight, 200));
    QString list = names.join(QStringLiteral(", "));
    if (leaving.size() > namesShown)
        list = tr("%1 and %2 more").arg(list).arg(leaving.size() - namesShown);
    QMessageBox question(QMessageBox::Question, tr("Shrink the grid"),
                         tr("Cameras that do not fit in the smaller grid will leave the layout."),
                         QMessageBox::Yes | QMessageBox::Cancel, window());
    question.setObjectName(QStringLiteral("shrinkGridQuestion"));
    question.setInformativeText(tr("Leaving the layout (%1): %2.").arg(leaving.size()).arg(list));
    question.button(QMessageBox::Yes)->setText(tr("Shrink the grid"));
    question.setDefaultButton(QMessageBox::Cancel);
    const API::LayoutPtr asked = m_layout;
    QPointer<InfoPanel> self(this);
    // The edit may have ended, or another layout come, while the question was open.
    return question.exec() == QMessageBox::Yes && self && m_editing && m_layout == asked;
}

void InfoPanel::setShowButtonVisible(bool visible)
{
    m_showButton->setVisible(visible);
}

void InfoPanel::updateTitle()
{
    m_title->setText(m_layout ? m_layout->name() : QString());
    m_title->setVisible(!m_editing);
    m_nameEdit->setVisible(m_editing);
}

void InfoPanel::updateButtons()
{
    const bool hasCameras = m_layout && !m_layout->isEmpty();
    m_editButton->setVisible(!m_editing);
    m_editButton->setEnabled(m_layout != nullptr);
    m_gridButton->setVisible(m_editing);
    m_saveButton->setVisible(m_editing);
    m_cancelButton->setVisible(m_editing);
    m_closeButton->setVisible(!m_editing);
    m_closeButton->setEnabled(hasCameras);
}

void InfoPanel::showGridEditor()
{
    if (!m_layout)
        return;
    m_gridEditor->setCurrentSize(m_layout->rows(), m_layout->columns());
    m_gridEditor->adjustSize();
    m_gridEditor->move(m_gridButton->mapToGlobal(QPoint(0, m_gridButton->height() + 2)));
    m_gridEditor->show();
}

} // namespace OrvantaClient::GUI
