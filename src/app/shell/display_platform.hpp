#pragma once
// The display platform. The mouse measures need the pointer's position on the whole screen, which only
// X11 gives; on a Wayland desktop the program therefore runs through XWayland, where the pointer is seen
// while it is over X11 windows only (the status display says so once: string 720).

namespace mw {

/// XDG_SESSION_TYPE is "wayland", or WAYLAND_DISPLAY is set.
bool IsWaylandSession();

/// Call before the QApplication is created: in a Wayland session with an X server (DISPLAY set) and no
/// QT_QPA_PLATFORM chosen by the user, sets QT_QPA_PLATFORM to "xcb".
void PreferX11Platform();
/// Before the first OpenGL context: Mesa's software renderer draws on the calling thread.
void PreferSingleThreadedSoftwareRendering();

} // namespace mw
