#include "fragmenteditor.h"

#include "gui/timeline/timelinetooltip.h"

#include <QDebug>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QToolTip>

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
    QString error;

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

// The prompt and the duration give way before the fields when the panel is
// narrow: they ask for their width but make do with less, cut short with an
// ellipsis.
class YieldingLabel : public QLabel
{
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width()));
    }
};

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
    auto* prompt = new YieldingLabel(tr("Select fragment to export"), this);
    prompt->setObjectName(QStringLiteral("selectFragmentLabel"));
    d->startEdit = timeField(QStringLiteral("fragmentStartEdit"), this);
    d->startEdit->setToolTip(tr("Start of the fragment"));
    d->endEdit = timeField(QStringLiteral("fragmentEndEdit"), this);
    d->endEdit->setToolTip(tr("End of the fragment"));
    d->duration = new YieldingLabel(this);
    d->duration->setObjectName(QStringLiteral("fragmentDurationLabel"));

    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(6);
    box->addWidget(prompt);
    box->addWidget(d->startEdit);
    box->addWidget(new QLabel(QString::fromUtf8("\u2013"), this));
    box->addWidget(d->endEdit);
    box->addWidget(d->duration);

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
QString FragmentEditor::errorText() const { return d->error; }
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
    d->error.clear();
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
        // Said over the field typed into, where the eyes are, without
        // widening the panel.
        auto* field = qobject_cast<QWidget*>(sender());
        d->error = tr("The fragment must end after it starts");
        // The tip lands a little below and right of the point given.
        if (field)
            QToolTip::showText(field->mapToGlobal(QPoint(0, -field->height() - 18)), d->error, field);
        d->showFragment();
        return;
    }
    d->error.clear();
    emit fragmentEdited(start, end);
}

} // namespace OrvantaClient::GUI
