#pragma once
// The debug probe: a running program describes its windows on standard output, one line per fact,
// so a script driving it under a virtual X server can find controls, read texts and wait for states.
//
// Lines (each flushed; names are object names, an unnamed window is shown as "(ClassName)"; all
// rectangles are global coordinates in device-independent pixels):
//   window <name> <X window id, decimal> <x> <y> <w> <h>   a top-level window was shown, moved or resized
//   control <name> <x> <y> <w> <h> <visible 0/1>          each named child, after its window's line
//   text <name> <text>            first seen or changed text of a named child of a visible window
//                                 (labels, buttons, line edits; CR, LF and backslash escaped as \r \n \\)
//   enabled <name> <0/1>          first seen or changed enabled state of a named child of a visible window
//   painted <name> <ms>           a window's first paint, milliseconds since the probe was installed
//   hidden <name>                 a top-level window was hidden
//   cursor <name> <shape>         first seen or changed cursor a visible top-level window sets for
//                                 itself (Qt::CursorShape: 10 is the blank cursor)
//   screenshot <path>             the main window's picture was saved (see below)
//   screenshot-failed <path>
//
// Message boxes are named "messageBox" when they have no name, and their buttons "yes", "no", "ok"
// and "cancel" after their standard-button role.
//
// With MURMELWERK_DEBUG_SCREENSHOT=<file.png>, 1.5 s after the window named "main" first paints, its
// screen area is grabbed from the root window (so its rounded shape shows against the desktop) and
// saved as PNG. While another window of the program covers it (a dialog), the grab waits for it to
// close and then half a second more.

class QApplication;

namespace mw {

/// Installs the probe on the application (application-wide event filter and a 100 ms poll). The probe
/// lives as long as the application object.
void InstallDebugProbe(QApplication& app);

/// True when the environment asks for the probe (MURMELWERK_DEBUG is "1").
bool DebugProbeRequested();

} // namespace mw
