#include "setup/install_files.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/file_io.hpp"
#include "base/utf.hpp"

namespace mw::setup {
namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return (value && value[0] == '/') ? WithSlash(value) : std::string();
}

std::string ReadText(const std::string& path) {
    std::string text;
    if (ReadWholeFile(path, 1 << 20, text) != 0) return {};
    return text;
}

std::string Escaped(const std::string& value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescaped(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

/// A value of a desktop entry: backslash, newline, tab and carriage return escaped.
std::string EntryValue(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

/// One argument of an Exec line, quoted as the desktop-entry rules ask.
std::string ExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
        if (c == '%') quoted += '%';
    }
    return quoted + '"';
}

} // namespace

std::string UninstallKey() {
    return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kName + " " + kVersion;
}

Places Places::FromEnvironment() {
    Places p;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/";
    }
    p.home = WithSlash(home);
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) p.xdgConfigHomeVariable = value;
    p.configHome = AbsoluteVariable("XDG_CONFIG_HOME");
    if (p.configHome.empty()) p.configHome = p.home + ".config/";
    p.dataHome = AbsoluteVariable("XDG_DATA_HOME");
    if (p.dataHome.empty()) p.dataHome = p.home + ".local/share/";
    p.desktop = UserDirFromText(ReadText(p.configHome + "user-dirs.dirs"), "DESKTOP", p.home);
    if (p.desktop.empty()) p.desktop = p.home + "Desktop/";
    p.temporary = AbsoluteVariable("TMPDIR");
    if (p.temporary.empty()) p.temporary = "/tmp/";
    p.allUsersApplications = "/usr/local/share/applications/";
    return p;
}

std::string Places::RegistryPath() const {
    return configHome + "murmelwerk/registry.ini";
}

std::string Places::DefaultFolder() const {
    return home + ".local/opt/" + kName + " " + kVersion + "/";
}

std::string Places::Applications() const {
    return dataHome + "applications/";
}

std::string Places::MenuFile() const {
    return configHome + "menus/applications-merged/murmelwerk-software.menu";
}

std::string Places::MenuDirectoryFile() const {
    return dataHome + "desktop-directories/murmelwerk-software.directory";
}

std::string UserDirFromText(std::string_view text, std::string_view name, const std::string& home) {
    const std::string key = "XDG_" + std::string(name) + "_DIR=\"";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.substr(0, key.size()) != key) continue;
        line.remove_prefix(key.size());
        const size_t quote = line.find('"');
        if (quote == std::string_view::npos) return {};
        std::string value(line.substr(0, quote));
        if (value.rfind("$HOME", 0) == 0) {
            value = home + (value.size() > 5 && value[5] == '/' ? value.substr(6) : value.substr(5));
        } else if (value.empty() || value[0] != '/') {
            return {};
        }
        return WithSlash(value);
    }
    return {};
}

bool AppendToFile(const std::string& file, std::string_view text) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    bool fresh = false;
    int out = fd;
    if (out < 0) {
        out = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        fresh = true;
    }
    if (out < 0) return false;
    const std::u16string units = u"\r\n" + utf::BytesToUtf16(text);
    std::string bytes = fresh ? std::string("\xFF\xFE") : std::string();
    for (const char16_t u : units) {
        bytes += char(u & 0xFF);
        bytes += char(u >> 8);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(out, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    ::close(out);
    return done == bytes.size();
}

std::vector<std::string> ReadLogEntries(const std::string& file) {
    std::string bytes;
    if (ReadWholeFile(file, 64 << 20, bytes) != 0 || bytes.size() < 2) return {};
    std::vector<std::string> entries;
    std::u16string entry;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) { // the first two bytes are the byte-order mark
        const char16_t unit = char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8));
        if (unit == u'\r' || unit == u'\n') {
            if (!entry.empty()) entries.push_back(utf::Utf16ToBytes(entry));
            entry.clear();
        } else {
            entry += unit;
        }
    }
    if (!entry.empty()) entries.push_back(utf::Utf16ToBytes(entry));
    return entries;
}

RegistryFile RegistryFile::Read(const std::string& path) {
    return FromText(ReadText(path));
}

RegistryFile RegistryFile::FromText(std::string_view text) {
    RegistryFile file;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            file.keys_[section];
        } else if (const size_t eq = line.find('='); eq != std::string_view::npos && !section.empty()) {
            file.keys_[section][std::string(line.substr(0, eq))] = Unescaped(line.substr(eq + 1));
        }
    }
    return file;
}

std::string RegistryFile::Text() const {
    std::string text;
    for (const auto& [key, values] : keys_) {
        text += (text.empty() ? "[" : "\n[") + key + "]\n";
        for (const auto& [name, value] : values) text += name + "=" + Escaped(value) + "\n";
    }
    return text;
}

bool RegistryFile::Write(const std::string& path) const {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    return ReplaceFile(path, Text()) == 0;
}

const RegistryFile::Key* RegistryFile::Find(const std::string& key) const {
    const auto it = keys_.find(key);
    return it == keys_.end() ? nullptr : &it->second;
}

std::optional<std::string> RegistryFile::Value(const std::string& key, const std::string& name) const {
    const Key* values = Find(key);
    if (!values) return std::nullopt;
    const auto it = values->find(name);
    if (it == values->end()) return std::nullopt;
    return it->second;
}

void RegistryFile::Set(const std::string& key, const std::string& name, const std::string& value) {
    keys_[key][name] = value;
}

void RegistryFile::Remove(const std::string& key) {
    keys_.erase(key);
}

std::string ApplicationEntry(const std::string& name, const std::string& executable,
                             const std::string& arguments, const std::string& icon,
                             const std::string& categories) {
    std::string exec = ExecArgument(executable);
    if (!arguments.empty()) exec += " " + arguments;
    return "[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + EntryValue(name) +
           "\nComment=" + EntryValue(name) + "\nExec=" + EntryValue(exec) + "\nIcon=" + EntryValue(icon) +
           "\nTerminal=false\nCategories=" + categories + "\n";
}

std::string LinkEntry(const std::string& name, const std::string& url, const std::string& icon,
                      const std::string& categories) {
    return "[Desktop Entry]\nType=Link\nVersion=1.0\nName=" + EntryValue(name) + "\nURL=" + EntryValue(url) +
           "\nIcon=" + EntryValue(icon) + "\nCategories=" + categories + "\n";
}

std::string SubmenuMenuText() {
    return std::string("<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
                       "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>Murmelwerk Software</Name>\n"
                       "    <Directory>murmelwerk-software.directory</Directory>\n"
                       "    <Include><Category>") +
           kSubmenuCategory + "</Category></Include>\n  </Menu>\n</Menu>\n";
}

std::string SubmenuDirectoryText() {
    return "[Desktop Entry]\nType=Directory\nName=Murmelwerk Software\nIcon=folder\n";
}

std::string IconSvg() {
    std::string points;
    for (int i = 0; i <= 32; ++i) {
        const double t = i / 32.0;
        const double x = 64 * (0.14 + 0.72 * t);
        const double y = 64 * (0.5 - 0.24 * std::sin(t * 2 * M_PI * 1.5) * (1.0 - 0.5 * t));
        char pair[40];
        std::snprintf(pair, sizeof pair, "%s%.2f,%.2f", i ? " " : "", x, y);
        points += pair;
    }
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
           "<rect x=\"0.5\" y=\"0.5\" width=\"63\" height=\"63\" rx=\"14\" fill=\"#3F7FFF\"/>\n"
           "<polyline points=\"" +
           points +
           "\" fill=\"none\" stroke=\"#FFFFFF\" stroke-width=\"5.3\" stroke-linecap=\"round\""
           " stroke-linejoin=\"round\"/>\n</svg>\n";
}

std::string FileNameOf(std::string_view text) {
    std::string name(text);
    for (char& c : name)
        if (c == '/') c = '-';
    return name;
}

} // namespace mw::setup
