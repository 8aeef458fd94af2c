#pragma once

#include <QCoreApplication>
#include <QKeySequence>
#include <QList>
#include <QString>

namespace OrvantaClient::GUI {

// The keyboard shortcuts of the main window, in one table: the keys bound, what
// they do, and how the help and the tool tips show them. Whatever binds or shows
// a shortcut reads it here, so the help cannot drift from what the keys do.
class KeyboardShortcuts
{
    Q_DECLARE_TR_FUNCTIONS(OrvantaClient::GUI::KeyboardShortcuts)
public:
    enum Command {
        Help,
        FullScreen,
        Back,
        PlayPause,
        Live,
        Recordings,
        StepBack,
        StepForward,
        LongStepBack,
        LongStepForward,
        Faster,
        Slower,
        Snapshot,
        ExportMode,
        MaximiseCell,
        NextLayout,
        PreviousLayout,
        ZoomIn,
        ZoomOut,
        ResetZoom,
        Tour,
        StreamHealth,
    };

    struct Shortcut
    {
        Command command = Help;
        // Every key that triggers it; for MaximiseCell the n-th key is cell n.
        QList<QKeySequence> keys;
        QString keyText;     // the keys as the help and the tool tips show them
        QString description; // translated
    };

    // Each command once, in the order the help lists them.
    static QList<Shortcut> table();
    static Shortcut shortcut(Command command);
    // "Start live feed (L)": a button's tool tip with the keys that do the same.
    static QString toolTip(const QString& text, Command command);

    // The cells the digits maximise.
    static constexpr int cellKeys = 9;
};

} // namespace OrvantaClient::GUI
