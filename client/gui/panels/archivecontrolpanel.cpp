#include "archivecontrolpanel.h"
#include "fragmenteditor.h"

#include "gui/timeline/datefieldfilter.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStyleOption>

namespace OrvantaClient::GUI {

namespace {

const char panelStyle[] = R"(
OrvantaClient--GUI--ArchiveControlPanel { background-color: rgb(30, 30, 35); }
OrvantaClient--GUI--ArchiveControlPanel QLabel { color: white; font-size: 13px; }
OrvantaClient--GUI--ArchiveControlPanel QDateEdit {
    color: white; background: transparent; border: none; font-size: 13px; min-width: 60px;
    selection-background-color: transparent; selection-color: white; }
OrvantaClient--GUI--ArchiveControlPanel QTimeEdit {
    color: white; background: rgb(45, 45, 52); border: 1px solid rgb(80, 80, 90); border-radius: 3px;
    font-size: 13px; padding: 1px 3px; selection-background-color: rgb(62, 183, 253); }
OrvantaClient--GUI--ArchiveControlPanel QTimeEdit:focus { border: 1px solid rgb(62, 183, 253); }
OrvantaClient--GUI--ArchiveControlPanel QDateEdit::drop-down { border: none; width: 14px; }
OrvantaClient--GUI--ArchiveControlPanel QDateEdit::down-arrow { image: url(:/controlpanel/icons/drop_down.png); }
OrvantaClient--GUI--ArchiveControlPanel QPushButton {
    border: none; background: transparent; min-width: 24px; max-width: 24px; min-height: 24px; border-radius: 3px; }
OrvantaClient--GUI--ArchiveControlPanel QPushButton:hover { background-color: rgba(255, 255, 255, 18); }
OrvantaClient--GUI--ArchiveControlPanel QPushButton:focus { border: 1px solid rgb(62, 183, 253); }
QPushButton#prevDayButton { image: url(:/controlpanel/icons/prev_day.png); }
QPushButton#nextDayButton { image: url(:/controlpanel/icons/next_day.png); }
QPushButton#zoomInButton { image: url(:/controlpanel/icons/zoom_in.png); }
QPushButton#zoomOutButton { image: url(:/controlpanel/icons/zoom_out.png); }
QSlider::groove:horizontal { height: 4px; background: rgb(80, 80, 90); border-radius: 2px; }
QSlider::sub-page:horizontal { background: rgb(62, 183, 253); border-radius: 2px; }
QSlider::handle:horizontal { width: 12px; margin: -4px 0; border-radius: 6px; background: white; }
)";

QPushButton* iconButton(const char* name, const QString& toolTip, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(toolTip);
    button->setCursor(Qt::PointingHandCursor);
    // Reached with Tab, not taken by a click: a click leaves the keys to the grid.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

ArchiveControlPanel::ArchiveControlPanel(QWidget* parent)
    : QWidget(parent)
    , m_dateEdit(new QDateEdit(QDate::currentDate(), this))
    , m_zoomSlider(new QSlider(Qt::Horizontal, this))
    , m_messageStack(new QStackedWidget(this))
{
    m_dateEdit->setObjectName(QStringLiteral("dateEdit"));
    m_dateEdit->setCalendarPopup(true);
    m_dateEdit->setDisplayFormat(tr("MMM dd"));
    // Typing a date digit by digit would otherwise load every day on the way.
    m_dateEdit->setKeyboardTracking(false);
    // Not a tab stop: the panel is steered by the pointer, and a focused edit
    // would sit there highlighted.
    m_dateEdit->setFocusPolicy(Qt::ClickFocus);
    // A click on the date is a request for the calendar, not for a digit to edit.
    DateFieldFilter::install(m_dateEdit);
    QPushButton* prevDay = iconButton("prevDayButton", QString(), this);
    QPushButton* nextDay = iconButton("nextDayButton", QString(), this);
    QPushButton* zoomOut = iconButton("zoomOutButton", tr("Zoom out"), this);
    QPushButton* zoomIn = iconButton("zoomInButton", tr("Zoom in"), this);
    m_zoomSlider->setObjectName(QStringLiteral("zoomSlider"));
    m_zoomSlider->setRange(minimumZoom, maximumZoom);
    m_zoomSlider->setFixedWidth(120);
    m_zoomSlider->setFocusPolicy(Qt::NoFocus);

    m_messageStack->setObjectName(QStringLiteral("messageStack"));
    m_fragmentEditor = new FragmentEditor;
    auto* exportingLabel = new QLabel(tr("Exporting..."));
    exportingLabel->setObjectName(QStringLiteral("exportingLabel"));
    m_messageStack->addWidget(m_fragmentEditor);
    m_messageStack->addWidget(exportingLabel);
    m_unavailableLabel = new QLabel;
    m_unavailableLabel->setObjectName(QStringLiteral("exportUnavailableLabel"));
    m_messageStack->addWidget(m_unavailableLabel);
    m_messageStack->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 2, 10, 2);
    layout->setSpacing(4);
    layout->addWidget(prevDay);
    layout->addWidget(m_dateEdit);
    layout->addWidget(nextDay);
    layout->addStretch(1);
    layout->addWidget(m_messageStack);
    layout->addStretch(1);
    layout->addWidget(zoomOut);
    layout->addWidget(m_zoomSlider);
    layout->addWidget(zoomIn);
    setStyleSheet(QLatin1String(panelStyle));

    m_controls = {prevDay, m_dateEdit, nextDay, zoomOut, m_zoomSlider, zoomIn};
    m_controls += m_fragmentEditor->fields();

    connect(m_dateEdit, &QDateEdit::dateChanged, this, &ArchiveControlPanel::dateChanged);
    connect(m_fragmentEditor, &FragmentEditor::fragmentEdited, this, &ArchiveControlPanel::fragmentEdited);
    connect(zoomIn, &QPushButton::clicked, this, &ArchiveControlPanel::zoomedIn);
    connect(zoomOut, &QPushButton::clicked, this, &ArchiveControlPanel::zoomedOut);
    connect(m_zoomSlider, &QSlider::valueChanged, this, &ArchiveControlPanel::zoomed);
    connect(prevDay, &QPushButton::clicked, this, &ArchiveControlPanel::on_prevDayButton_clicked);
    connect(nextDay, &QPushButton::clicked, this, &ArchiveControlPanel::on_nextDayButton_clicked);
}

QDate ArchiveControlPanel::date() const
{
    return m_dateEdit->date();
}

void ArchiveControlPanel::setDate(const QDate& date)
{
    if (date.isValid() && date != m_dateEdit->date())
        m_dateEdit->setDate(date);
}

int ArchiveControlPanel::zoomLevel() const
{
    return m_zoomSlider->value();
}

void ArchiveControlPanel::setCalendarWidget(QCalendarWidget* calendar)
{
    m_dateEdit->setCalendarWidget(calendar);
}

void ArchiveControlPanel::setFragment(const QDateTime& start, const QDateTime& end)
{
    m_fragmentEditor->setFragment(start, end);
}

QList<QWidget*> ArchiveControlPanel::controls() const
{
    return m_controls;
}

void ArchiveControlPanel::zoom(int level)
{
    // The timeline reports its zoom back here; only the user's moves of the
    // slider are announced, so the two never chase each other.
    const int bounded = qBound(minimumZoom, level, maximumZoom);
    if (bounded == m_zoomSlider->value())
        return;
    const QSignalBlocker blocker(m_zoomSlider);
    m_zoomSlider->setValue(bounded);
}

void ArchiveControlPanel::showSelectFragmentMessage()
{
    m_messageStack->setCurrentIndex(0);
    m_messageStack->show();
}

void ArchiveControlPanel::showExportingMessage()
{
    m_messageStack->setCurrentIndex(1);
    m_messageStack->show();
}

void ArchiveControlPanel::showExportUnavailableMessage(const QString& reason)
{
    m_unavailableLabel->setText(reason);
    m_messageStack->setCurrentWidget(m_unavailableLabel);
    m_messageStack->show();
}

void ArchiveControlPanel::hideMessage()
{
    m_messageStack->hide();
}

void ArchiveControlPanel::paintEvent(QPaintEvent*)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void ArchiveControlPanel::on_prevDayButton_clicked()
{
    m_dateEdit->setDate(m_dateEdit->date().addDays(-1));
}

void ArchiveControlPanel::on_nextDayButton_clicked()
{
    m_dateEdit->setDate(m_dateEdit->date().addDays(1));
}

} // namespace OrvantaClient::GUI
