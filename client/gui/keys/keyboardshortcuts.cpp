#include "keyboardshortcuts.h"

namespace OrvantaClient::GUI {

namespace {

QString shown(const QList<QKeySequence>& keys)
{
    QStringList texts;
    for (const QKeySequence& key : keys)
        texts << key.toString(QKeySequence::NativeText);
    return texts.join(QStringLiteral(", "));
}

} // namespace

QList<KeyboardShortcuts::Shortcut> KeyboardShortcuts::table()
{
    QList<QKeySequence> digits;
    for (int cell = 1; cell <= cellKeys; ++cell)
        digits << QKeySequence(Qt::Key_0 + cell);
    const auto entry = [](Command command, const QList<QKeySequence>& keys, const QString& description) {
        return Shortcut{command, keys, shown(keys), description};
    };

    QList<Shortcut> result{
        entry(Help, {QKeySequence(Qt::Key_F1)}, tr("Show the keyboard shortcuts")),
        entry(FullScreen, {QKeySequence(Qt::Key_F11)}, tr("Enter or leave full screen")),
        entry(Back, {QKeySequence(Qt::Key_Escape)},
              tr("Return a maximised cell to the grid, or leave full screen")),
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
        entry(MaximiseCell, digits, tr("Maximise that cell (counted left to right, top to bottom); again to return to the grid")),
        // Shift+Tab reaches a window as Backtab: both are bound, one is shown.
        entry(NextLayout, {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, tr("Open the next of your layouts")),
        entry(PreviousLayout, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
              tr("Open the previous of your layouts")),
        entry(ZoomIn, {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)}, tr("Zoom into the active cell")),
        entry(ZoomOut, {QKeySequence(Qt::Key_Minus)}, tr("Zoom out of the active cell")),
        entry(ResetZoom, {QKeySequence(Qt::Key_0), QKeySequence(Qt::Key_Backspace)}, tr("Show the whole picture of the active cell")),
        entry(Tour, {QKeySequence(Qt::Key_T)}, tr("Start or stop the tour")),
        entry(StreamHealth, {QKeySequence(Qt::CTRL | Qt::Key_I)}, tr("Show or hide the stream health over every cell")),
    };
    for (Shortcut& item : result) {
        if (item.command == MaximiseCell)
            item.keyText = digits.first().toString(QKeySequence::NativeText) + QStringLiteral(" … ")
                + digits.last().toString(QKeySequence::NativeText);
        else if (item.command == PreviousLayout)
            item.keyText = item.keys.last().toString(QKeySequence::NativeText);
        else if (item.command == ZoomIn)
            item.keyText = item.keys.first().toString(QKeySequence::NativeText);
    }
    return result;
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
