#pragma once
// The start-up shortcut: a desktop entry in the user's autostart folder that starts the program when
// the user logs in (freedesktop Desktop Application Autostart).

#include <string>

namespace mw {

/// $XDG_CONFIG_HOME/autostart/murmelwerk.desktop; ~/.config/autostart/ when XDG_CONFIG_HOME is unset,
/// empty or relative.
std::string AutostartEntryPath();

/// Whether the entry exists.
bool StartupShortcutExists();

/// on: writes the entry (creating the folder), starting `executablePath` without arguments; off:
/// deletes it. True when the entry is there, or gone, afterwards.
bool SetStartupShortcut(bool on, const std::string& executablePath);

/// One argument of an Exec line: quoted, with '"', '`', '$' and '\' escaped by a backslash and '%'
/// doubled; then escaped as a desktop-entry string value (backslash, newline, tab, carriage return).
std::string DesktopExecArgument(const std::string& argument);

} // namespace mw
