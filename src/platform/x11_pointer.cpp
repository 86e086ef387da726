#include "platform/x11_pointer.hpp"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace mw {

std::unique_ptr<X11Pointer> X11Pointer::Open(const char* displayName, std::string* error) {
    if (displayName && !*displayName) displayName = nullptr;
    Display* display = XOpenDisplay(displayName);
    if (!display) {
        if (error) {
            const char* name = XDisplayName(displayName);
            *error = std::string("cannot open X display \"") + (name ? name : "") + "\"";
            if (!name || !*name) *error += " (DISPLAY is not set)";
        }
        return nullptr;
    }
    const Window root = DefaultRootWindow(display);
    return std::unique_ptr<X11Pointer>(new X11Pointer(display, root));
}

X11Pointer::X11Pointer(Display* display, unsigned long root) : display_(display), root_(root) {
    lastScreen_ = {0, 0, DisplayWidth(display, DefaultScreen(display)),
                   DisplayHeight(display, DefaultScreen(display))};
    // The root window reports its size changes (a new resolution, a monitor added): the screen is asked
    // for again only then, not on every reading, which would cost a round trip to the server each time.
    XSelectInput(display, root, StructureNotifyMask);
}

X11Pointer::~X11Pointer() {
    if (display_) XCloseDisplay(display_);
}

bool X11Pointer::ReadCursor(int& x, int& y) {
    std::lock_guard lock(mutex_);
    Window rootReturn = 0, childReturn = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(display_, root_, &rootReturn, &childReturn, &rootX, &rootY, &winX, &winY, &mask))
        return false;
    x = rootX;
    y = rootY;
    return true;
}

bool X11Pointer::SetCursor(int x, int y) {
    std::lock_guard lock(mutex_);
    XWarpPointer(display_, None, root_, 0, 0, 0, 0, x, y);
    XFlush(display_);
    return true;
}

ScreenRect X11Pointer::Screen() {
    std::lock_guard lock(mutex_);
    bool changed = !screenAsked_;
    XEvent event;
    while (XCheckTypedWindowEvent(display_, root_, ConfigureNotify, &event)) changed = true;
    if (!changed) return lastScreen_;
    screenAsked_ = true;
    Window rootReturn = 0;
    int gx = 0, gy = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(display_, root_, &rootReturn, &gx, &gy, &width, &height, &border, &depth) && width > 0 &&
        height > 0)
        lastScreen_ = {0, 0, int(width), int(height)};
    return lastScreen_;
}

std::string X11Pointer::DisplayName() const {
    return DisplayString(display_);
}

bool X11Pointer::IsWaylandSession() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland) return true;
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return type && std::strcmp(type, "wayland") == 0;
}

} // namespace mw
