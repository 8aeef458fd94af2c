#include "fragmenteditor.h"

#include "gui/timeline/timelinetooltip.h"

#include <QDebug>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace OrvantaClient::GUI {

namespace Internal {

class FragmentEditorPrivate
{
public:
    QDateTime start;
    QDateTime end;
    QTimeEdit* startEdit = nullptr;
    QTimeEdit* endEdit = nullptr;
    QLabel* duration = nullptr;
    QLabel* error = nullptr;

    void showFragment()
    {
        const QSignalBlocker startBlocker(startEdit);
        const QSignalBlocker endBlocker(endEdit);
        startEdit->setTime(start.time());
        endEdit->setTime(end.time());
        duration->setText(start.isValid() && end.isValid()
                              ? QLatin1Char('(') + TimelineTooltip::durationText(start.secsTo(end)) + QLatin1Char(')')
                              : QString());
    }
};

} // namespace Internal

namespace {

QTimeEdit* timeField(const QString& name, QWidget* parent)
{
    auto* edit = new QTimeEdit(parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    // A time typed digit by digit would move the selection at every digit.
    edit->setKeyboardTracking(false);
    edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

} // namespace

FragmentEditor::FragmentEditor(QWidget* parent) : QWidget(parent), d(std::make_unique<Internal::FragmentEditorPrivate>())
{
    auto* prompt = new QLabel(tr("Select fragment to export"), this);
    prompt->setObjectName(QStringLiteral("selectFragmentLabel"));
    d->startEdit = timeField(QStringLiteral("fragmentStartEdit"), this);
    d->startEdit->setToolTip(tr("Start of the fragment"));
    d->endEdit = timeField(QStringLiteral("fragmentEndEdit"), this);
    d->endEdit->setToolTip(tr("End of the fragment"));
    d->duration = new QLabel(this);
    d->duration->setObjectName(QStringLiteral("fragmentDurationLabel"));
    d->error = new QLabel(this);
    d->error->setObjectName(QStringLiteral("fragmentErrorLabel"));
    d->error->setStyleSheet(QStringLiteral("color: rgb(255, 110, 100);"));
    d->error->hide();

    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(6);
    box->addWidget(prompt);
    box->addWidget(d->startEdit);
    box->addWidget(new QLabel(QString::fromUtf8("\u2013"), this));
    box->addWidget(d->endEdit);
    box->addWidget(d->duration);
    box->addWidget(d->error);

    for (QTimeEdit* edit : {d->startEdit, d->endEdit}) {
        if (auto* text = edit->findChild<QLineEdit*>())
            text->installEventFilter(this);
    }
    connect(d->startEdit, &QTimeEdit::timeChanged, this, &FragmentEditor::onTimeTyped);
    connect(d->endEdit, &QTimeEdit::timeChanged, this, &FragmentEditor::onTimeTyped);
}

FragmentEditor::~FragmentEditor() = default;

QDateTime FragmentEditor::start() const { return d->start; }
QDateTime FragmentEditor::end() const { return d->end; }
QString FragmentEditor::errorText() const { return d->error->isVisibleTo(this) ? d->error->text() : QString(); }
QList<QWidget*> FragmentEditor::fields() const { return {d->startEdit, d->endEdit}; }

// A click picks the hours, minutes or seconds under it whole: digits typed
// then replace them, where a caret left after the last digit would skip to
// the next part.
bool FragmentEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* text = qobject_cast<QLineEdit*>(watched);
        auto* edit = text ? qobject_cast<QTimeEdit*>(text->parentWidget()) : nullptr;
        if (edit && !text->hasSelectedText())
            edit->setSelectedSection(edit->currentSection());
    }
    return QWidget::eventFilter(watched, event);
}

void FragmentEditor::setFragment(const QDateTime& start, const QDateTime& end)
{
    d->start = start;
    d->end = end;
    d->error->hide();
    d->showFragment();
}

// Both times are on the fragment's own day; the fields stay as typed until
// the selection reports back, and a refused pair returns to the fragment.
void FragmentEditor::onTimeTyped()
{
    if (!d->start.isValid() || !d->end.isValid())
        return;
    const QDate day = d->start.date();
    const QDateTime start(day, d->startEdit->time());
    const QDateTime end(day, d->endEdit->time());
    if (!(start < end)) {
        qWarning() << "Fragment refused, its end is not after its start:" << start << end;
        d->error->setText(tr("The fragment must end after it starts"));
        d->error->show();
        d->showFragment();
        return;
    }
    d->error->hide();
    emit fragmentEdited(start, end);
}

} // namespace OrvantaClient::GUI
