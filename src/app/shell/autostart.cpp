#include "app/shell/autostart.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/file_io.hpp"

namespace mw {
namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

} // namespace

std::string AutostartEntryPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base = (config && config[0] == '/') ? std::string(config) : HomeFolder() + "/.config";
    return base + "/autostart/murmelwerk.desktop";
}

bool StartupShortcutExists() {
    std::error_code error;
    return std::filesystem::exists(AutostartEntryPath(), error);
}

std::string DesktopExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
        if (c == '%') quoted += '%';
    }
    quoted += '"';
    std::string value;
    for (const char c : quoted) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

bool SetStartupShortcut(bool on, const std::string& executablePath) {
    const std::filesystem::path path = AutostartEntryPath();
    std::error_code error;
    if (!on) {
        std::filesystem::remove(path, error);
        return !error;
    }
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return false;
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Murmelwerk\n"
                              "Comment=Murmelwerk\n"
                              "Exec=" +
                              DesktopExecArgument(executablePath) +
                              "\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    return ReplaceFile(path.string(), entry) == 0;
}

} // namespace mw
