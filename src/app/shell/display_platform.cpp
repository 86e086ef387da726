#include "app/shell/display_platform.hpp"

#include <cstdlib>
#include <string_view>

namespace mw {
namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

bool IsWaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return (type && std::string_view(type) == "wayland") || IsSet("WAYLAND_DISPLAY");
}

void PreferX11Platform() {
    if (IsWaylandSession() && IsSet("DISPLAY") && !IsSet("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
}

void PreferSingleThreadedSoftwareRendering() {
    // Mesa's software renderer (llvmpipe) splits each picture among threads of its own. The program's
    // pictures are small (the 3-D view of the status area), so handing each one to other threads and
    // waiting for them costs more than drawing it here: a third of what the view costs, measured.
    // Drivers for real graphics hardware do not read this; a value the user set is kept.
    if (!IsSet("LP_NUM_THREADS")) ::setenv("LP_NUM_THREADS", "0", 1);
}

} // namespace mw
