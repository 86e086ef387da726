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

} // namespace mw
