#pragma once
#include <string>
namespace mw {
inline bool StartupShortcutExists() {
    return false;
}
inline bool SetStartupShortcut(bool, const std::string&) {
    return false;
}
} // namespace mw
