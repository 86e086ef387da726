#pragma once
// The cursor of an X11 display: XQueryPointer on the root window to read it, XWarpPointer to move it.
//
// The screen rectangle is the root window: on X11 the root window spans every monitor (Xinerama and
// RandR arrange the monitors inside it), its origin is always (0, 0), and with a single monitor it is
// that monitor. So it is the primary screen with one monitor and the virtual screen with several.
// It is read fresh on every call, so a change of the monitor layout is seen at once.
//
// On a Wayland session the global pointer is visible only through XWayland and only while it is over
// an X11 window; see IsWaylandSession.

#include <memory>
#include <mutex>
#include <string>

#include "engine/pointer.hpp"

struct _XDisplay;

namespace mw {

class X11Pointer : public IPointer {
public:
    /// Connects to `displayName` (null or empty: $DISPLAY). Null, with `error` set, when no display can
    /// be opened.
    static std::unique_ptr<X11Pointer> Open(const char* displayName, std::string* error = nullptr);
    ~X11Pointer() override;
    X11Pointer(const X11Pointer&) = delete;
    X11Pointer& operator=(const X11Pointer&) = delete;

    /// False when the pointer is on another X screen than the default one.
    bool ReadCursor(int& x, int& y) override;
    bool SetCursor(int x, int y) override;
    /// The root window: left = top = 0, right and bottom one past the last pixel.
    ScreenRect Screen() override;

    /// The name of the display connected to.
    std::string DisplayName() const;

    /// True when the desktop session is a Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE
    /// "wayland"); the cursor is then seen only through XWayland.
    static bool IsWaylandSession();

private:
    X11Pointer(_XDisplay* display, unsigned long root);

    std::mutex mutex_; // one request at a time on the connection (sampler and engine may both ask)
    _XDisplay* display_;
    unsigned long root_;
    ScreenRect lastScreen_;
    bool screenAsked_ = false; // the server has been asked for the screen since its last change
};

} // namespace mw
