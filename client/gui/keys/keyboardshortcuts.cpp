#include "keyboardshortcuts.h"

#include <QStringList>

namespace OrvantaClient::GUI {

namespace {

QString shown(const QList<QKeySequence>& keys)
{
    QStringList texts;
    for (const QKeySequence& key : keys)
        texts << key.toString(QKeySequence::NativeText);
    return texts.join(QStringLiteral(", "));
}

// An entry that shows the keys it binds, or only those given.
KeyboardShortcuts::Shortcut entry(KeyboardShortcuts::Command command, const QList<QKeySequence>& keys,
                                  const QString& description, const QString& keyText = QString())
{
    return {command, keys, keyText.isEmpty() ? shown(keys) : keyText, description};
}

} // namespace

QList<KeyboardShortcuts::Shortcut> KeyboardShortcuts::table()
{
    QList<QKeySequence> digits;
    for (int cell = 1; cell <= cellKeys; ++cell)
        digits << QKeySequence(Qt::Key_0 + cell);
    const QString digitRange = shown({digits.first()}) + QStringLiteral(" … ") + shown({digits.last()});
    // Shift+Tab reaches a window as Backtab: both are bound, one is shown.
    const QKeySequence previous(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab);
    const QKeySequence zoomIn(Qt::Key_Plus);

    return {
        entry(Help, {QKeySequence(Qt::Key_F1)}, tr("Show the keyboard shortcuts")),
        entry(FullScreen, {QKeySequence(Qt::Key_F11)}, tr("Enter or leave full screen")),
        entry(Back, {QKeySequence(Qt::Key_Escape)}, tr("Show the whole picture of a zoomed cell, return a maximised cell to the grid, or leave full screen")),
        entry(PlayPause, {QKeySequence(Qt::Key_Space)}, tr("Pause or play")),
        entry(Live, {QKeySequence(Qt::Key_L)}, tr("Back to live video")),
        entry(Recordings, {QKeySequence(Qt::Key_R)}, tr("Show or hide the recordings")),
        entry(StepBack, {QKeySequence(Qt::Key_Left)}, tr("Recordings: 10 seconds back")),
        entry(StepForward, {QKeySequence(Qt::Key_Right)}, tr("Recordings: 10 seconds forward")),
        entry(LongStepBack, {QKeySequence(Qt::SHIFT | Qt::Key_Left)}, tr("Recordings: 1 minute back")),
        entry(LongStepForward, {QKeySequence(Qt::SHIFT | Qt::Key_Right)}, tr("Recordings: 1 minute forward")),
        entry(Faster, {QKeySequence(Qt::Key_BracketRight)}, tr("Recordings: play faster")),
        entry(Slower, {QKeySequence(Qt::Key_BracketLeft)}, tr("Recordings: play slower")),
        entry(Snapshot, {QKeySequence(Qt::CTRL | Qt::Key_S)}, tr("Save a snapshot of the active cell")),
        entry(ExportMode, {QKeySequence(Qt::CTRL | Qt::Key_E)}, tr("Choose a fragment of the recordings to export")),
        entry(MaximiseCell, digits,
              tr("Maximise that cell (counted left to right, top to bottom); again to return to the grid"),
              digitRange),
        entry(NextLayout, {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, tr("Open the next of your layouts")),
        entry(PreviousLayout, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), previous},
              tr("Open the previous of your layouts"), shown({previous})),
        // "=" is the same key without Shift on many keyboards.
        entry(ZoomIn, {zoomIn, QKeySequence(Qt::Key_Equal)}, tr("Zoom into the active cell"), shown({zoomIn})),
        entry(ZoomOut, {QKeySequence(Qt::Key_Minus)}, tr("Zoom out of the active cell")),
        entry(ResetZoom, {QKeySequence(Qt::Key_0), QKeySequence(Qt::Key_Backspace)},
              tr("Show the whole picture of the active cell")),
        entry(Tour, {QKeySequence(Qt::Key_T)}, tr("Start or stop the tour")),
        entry(StreamHealth, {QKeySequence(Qt::CTRL | Qt::Key_I)}, tr("Show or hide the stream health over every cell")),
    };
}

KeyboardShortcuts::Shortcut KeyboardShortcuts::shortcut(Command command)
{
    for (const Shortcut& item : table()) {
        if (item.command == command)
            return item;
    }
    return {};
}

QString KeyboardShortcuts::toolTip(const QString& text, Command command)
{
    return QStringLiteral("%1 (%2)").arg(text, shortcut(command).keyText);
}

} // namespace OrvantaClient::GUI
