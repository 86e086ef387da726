#pragma once
namespace mw {
inline bool IsWaylandSession() {
    return false;
}
inline void PreferX11Platform() {}
} // namespace mw
