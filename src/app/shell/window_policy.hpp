#pragma once
// The main window's rules, apart from its widgets: edge snapping while dragged, which menu items are
// enabled, when tray clicks count, the one-time questions of minimising, closing and Esc, and what the
// window does at its automatic start.

#include <functional>

#include "app/settings/program_settings.hpp"

namespace mw {

/// A rectangle in screen pixels (width and height, so right = x + width).
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenArea&) const = default;
};

/// Edges closer than this many pixels to an edge of the area snap onto it (19 snaps, 20 does not).
inline constexpr int kSnapDistance = 20;

/// The window placed with each of its edges that comes within `kSnapDistance` pixels (exclusive) of
/// the corresponding edge of `area` exactly on it, keeping its size. Left and top win over right and
/// bottom when both are near (a window as large as the area).
ScreenArea SnapToEdges(ScreenArea window, const ScreenArea& area);

/// What the open menus and dialogs and the window's state are when a menu opens.
struct MenuState {
    bool aboutOpen = false;
    bool helpOpen = false;
    bool preferencesOpen = false;
    bool maximised = false;
    bool minimisedState = false; ///< minimised by the program's policy
    bool wasMaximized = false;   ///< maximised when it was minimised
    bool running = false;        ///< the sound runs
};

struct MenuEnabling {
    bool about = true;
    bool help = true;
    bool preferences = true;
    bool maximiseToggle = true;
    bool minimise = true;
    bool start = true;
    bool stop = true;
    int maximiseToggleText = 35; ///< 31 "Restore" or 35 "Maximize"
    bool operator==(const MenuEnabling&) const = default;
};

/// About, Help and Preferences are greyed while their dialog is open, the maximise toggle while any of
/// the three is; Minimize while the window is minimised; Start while the sound runs, Stop while it does
/// not. The toggle reads "Restore" when the window is maximised, or minimised without having been
/// maximised.
MenuEnabling MenuEnablingOf(const MenuState& state);

/// The guards, each set while the thing is open; tray clicks do nothing while any is set.
struct Guards {
    bool contextMenu = false;
    bool helpDialog = false;
    bool preferencesDialog = false;
    bool aboutDialog = false;
    bool moduleDialog = false;
    bool Any() const { return contextMenu || helpDialog || preferencesDialog || aboutDialog || moduleDialog; }
};

/// What the window does when it opens: press Start, press Start & Hide (and hide at once).
struct AutoStart {
    bool start = false;
    bool startAndHide = false;
    bool operator==(const AutoStart&) const = default;
};
/// "-AutoStartOnly" wins; the saved AutoStartSound starts unless "-AutoStartAndHide" is given, which
/// starts and hides.
AutoStart AutoStartOf(bool autoStartOnly, bool autoStartAndHide, bool autoStartSound);

/// The minimise, close and Esc policies of the preferences, with their questions asked once.
/// A question is a callback that shows it and returns true for Yes.
class WindowPolicy {
public:
    using Question = std::function<bool()>;

    /// `trayAvailable`: the desktop has a notification area. Without one the tray question is not
    /// asked and the window keeps its task-bar button.
    WindowPolicy(ProgramSettings& settings, bool trayAvailable) : settings_(settings), tray_(trayAvailable) {}

    struct Minimise {
        bool showTrayIcon = false; ///< add or modify the tray icon
        bool leaveTaskbar = false; ///< hide the window 10 ms later (timer 420)
        bool operator==(const Minimise&) const = default;
    };
    /// The minimise command: the tray question the first time (Yes sets ShowTrayIcon,
    /// HideTaskbarButtonWhenMinimized and TrayIconOnlyWhenMinimized).
    Minimise OnMinimise(const Question& askTray);

    enum class CloseAction { Minimise, Close };
    /// The window's close: the close-or-minimise question the first time, unless Exit asked for it
    /// (No sets MinimizeOnClose and minimises, Yes clears it); then minimise when MinimizeOnClose is
    /// set and Exit did not ask; otherwise close.
    CloseAction OnClose(bool exitRequested, const Question& askClose);

    /// The Esc key: the question the first time (MinimizeOnEsc = Yes); true when the window minimises.
    bool OnEscape(const Question& askEsc);

    /// Whether the tray icon stays after a refresh (on restore, tray clicks, a settings change).
    bool KeepTrayIcon() const;

    bool TrayAvailable() const { return tray_; }

private:
    ProgramSettings& settings_;
    bool tray_;
};

} // namespace mw
