#include "setup/installer.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/settings/settings_file.hpp"
#include "base/file_io.hpp"

extern char** environ;

namespace mw::setup {
namespace fs = std::filesystem;
namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string WithoutSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

/// Creates every folder along `folder` (existing ones are no error).
void CreateFolders(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
}

/// Writes a file that an installation creates, readable by everyone and, for a desktop entry,
/// executable (desktops start only executable entries on the desktop).
bool WriteInstalledFile(const std::string& path, const std::string& text, bool executable) {
    if (ReplaceFile(path, text) != 0) return false;
    ::chmod(path.c_str(), executable ? 0755 : 0644);
    return true;
}

/// Copies `from` over `to` through a file beside it, so that a running copy at `to` is not disturbed.
bool CopyExecutable(const std::string& from, const std::string& to) {
    std::error_code error;
    const std::string temporary = TemporaryNameBeside(to);
    fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
    if (!error) fs::permissions(temporary, fs::perms(0755), error);
    if (!error) fs::rename(temporary, to, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

/// A shell word: the text in single quotes.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

} // namespace

std::string InstalledSettingsPath(const std::string& executable, const Places& places) {
    const auto& xdg = places.xdgConfigHomeVariable;
    return SettingsPathFor(executable, true, xdg ? xdg->c_str() : nullptr, places.home.c_str());
}

bool SamePath(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error)) return true;
    return a == b;
}

bool InstalledByPackageManager(const std::string& runningExecutable) {
    const std::string folder = fs::path(runningExecutable).parent_path().string();
    return folder == "/usr/bin" || folder == "/usr/local/bin";
}

InstallResult Install(const InstallOptions& options, const InstallInputs& inputs) {
    InstallResult result;
    // "~/" stands for the home folder; a relative folder is taken from the current one.
    std::string typed = options.folder;
    if (typed.rfind("~/", 0) == 0) typed = inputs.places.home + typed.substr(2);
    if (typed.empty()) return result;
    std::error_code absoluteError;
    const fs::path absolute = fs::absolute(typed, absoluteError);
    result.folder = WithSlash(absoluteError ? typed : absolute.lexically_normal().string());
    result.executable = result.folder + kExecutableName;
    const std::string& folder = result.folder;
    CreateFolders(folder);
    result.copied = SamePath(inputs.runningExecutable, result.executable) ||
                    CopyExecutable(inputs.runningExecutable, result.executable);
    if (!result.copied) return result;

    const std::string log = folder + kLogName;
    const auto logged = [&log](const std::string& path) {
        AppendToFile(log, path);
        return path;
    };
    const std::string icon = folder + kIconName;
    if (options.desktop || options.startMenu) WriteInstalledFile(logged(icon), IconSvg(), false);

    if (options.desktop) {
        CreateFolders(inputs.places.desktop);
        WriteInstalledFile(logged(inputs.places.desktop + kName + ".desktop"),
                           ApplicationEntry(kName, result.executable, {}, icon, "AudioVideo;Audio;Midi;"),
                           true);
    }
    if (options.startMenu) {
        std::string base =
            options.allUsers ? inputs.places.allUsersApplications : inputs.places.Applications();
        std::string categories = "AudioVideo;Audio;Midi;";
        if (options.extended) {
            base += "Murmelwerk Software/";
            CreateFolders(logged(base));
            base += std::string(kName) + " " + kVersion + "/";
            CreateFolders(logged(base));
            categories = std::string(kSubmenuCategory) + ";";
        }
        WriteInstalledFile(logged(base + kName + ".desktop"),
                           ApplicationEntry(kName, result.executable, {}, icon, categories), true);
        if (options.extended) {
            const ShortcutNames& n = inputs.names;
            WriteInstalledFile(
                logged(base + FileNameOf(n.uninstall) + ".desktop"),
                ApplicationEntry(n.uninstall, result.executable, "-RemoveIt", "edit-delete", categories),
                true);
            const std::string help = std::string(kName) + " - " + n.localHelp;
            WriteInstalledFile(
                logged(base + FileNameOf(help) + ".desktop"),
                ApplicationEntry(help, result.executable, "-DoHelp", "help-browser", categories), true);
            const std::string online = std::string(kName) + " - " + n.onlineHelp;
            WriteInstalledFile(logged(base + FileNameOf(online) + ".desktop"),
                               LinkEntry(online, inputs.onlineHelpUrl, "text-html", categories), true);
            WriteInstalledFile(logged(base + FileNameOf(n.forum) + ".desktop"),
                               LinkEntry(n.forum, inputs.forumUrl, "text-html", categories), true);
            if (!options.allUsers) { // the submenu that gathers them
                CreateFolders(fs::path(inputs.places.MenuFile()).parent_path().string());
                WriteInstalledFile(logged(inputs.places.MenuFile()), SubmenuMenuText(), false);
                CreateFolders(fs::path(inputs.places.MenuDirectoryFile()).parent_path().string());
                WriteInstalledFile(logged(inputs.places.MenuDirectoryFile()), SubmenuDirectoryText(), false);
            }
        }
    }

    RegistryFile registry = RegistryFile::Read(inputs.places.RegistryPath());
    registry.Set(kProductKey, kPathValue, result.executable);
    registry.Set(kProductKey, kVersionValue, kVersion);
    const std::string uninstall = UninstallKey();
    registry.Set(uninstall, "DisplayName", std::string(kName) + " " + kVersion);
    registry.Set(uninstall, "UninstallString", result.executable + " RemoveIt");
    registry.Set(uninstall, "DisplayIcon", result.executable);
    registry.Set(uninstall, "Inno Setup: App Path", WithoutSlash(folder));
    registry.Set(uninstall, "Publisher", kName);
    registry.Set(uninstall, "HelpLink", inputs.homeUrl);
    registry.Write(inputs.places.RegistryPath());

    result.settingsFile = logged(InstalledSettingsPath(result.executable, inputs.places));
    std::error_code error;
    if (!(options.update && fs::exists(result.settingsFile, error)) && inputs.writeSettings)
        inputs.writeSettings(result.settingsFile);
    return result;
}

InstallDecision DecideInstallation(const RegistryFile& registry, const std::string& runningExecutable) {
    InstallDecision decision;
    if (InstalledByPackageManager(runningExecutable)) return decision;
    const std::optional<std::string> installed = registry.Value(kProductKey, kPathValue);
    if (!installed || installed->empty()) {
        decision.question = InstallQuestion::InstallNew;
        return decision;
    }
    if (SamePath(*installed, runningExecutable)) return decision;
    decision.installedExecutable = *installed;
    decision.question = registry.Value(kProductKey, kVersionValue) ? InstallQuestion::Reinstall
                                                                   : InstallQuestion::InstallVersion;
    return decision;
}

std::string RemovalScript(const std::vector<std::string>& folders, const std::string& executable,
                          const std::string& settingsFile, long pid, const std::string& scriptPath) {
    // The folders deepest first, each once: an outer folder empties only when its inner ones are gone.
    std::vector<std::string> ordered;
    for (const std::string& f : folders)
        if (std::find(ordered.begin(), ordered.end(), f) == ordered.end()) ordered.push_back(f);
    std::stable_sort(ordered.begin(), ordered.end(), [](const std::string& a, const std::string& b) {
        return std::count(a.begin(), a.end(), '/') > std::count(b.begin(), b.end(), '/');
    });
    const std::string folder = fs::path(executable).parent_path().string() + "/";
    const std::string name = fs::path(executable).filename().string();
    std::string s = std::string("#!/bin/sh\n# - File created by ") + kName + " " + kVersion + "\n";
    for (const std::string& f : ordered) s += "rmdir -- " + Quoted(f) + " 2>/dev/null\n";
    s += "cd / && cd -- " + Quoted(folder) + " || exit 1\n";
    s += "rm -f -- " + Quoted(name) + "\n";
    s += "i=0; while kill -0 " + std::to_string(pid) +
         " 2>/dev/null && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\n";
    s += "rm -f -- " + Quoted(settingsFile) + "\n";
    s += "rm -f -- " + Quoted(name) + "\n";
    s += "cd ..\n";
    s += "rmdir -- " + Quoted(WithoutSlash(folder)) + " 2>/dev/null\n";
    s += "cd /\n";
    s += "rm -f -- " + Quoted(scriptPath) + "\n";
    return s;
}

RemovalResult RemoveInstallation(const std::string& executable, const Places& places, long pid) {
    RegistryFile registry = RegistryFile::Read(places.RegistryPath());
    if (registry.Find(UninstallKey())) {
        registry.Remove(UninstallKey());
        registry.Write(places.RegistryPath());
    }
    const std::string folder = fs::path(executable).parent_path().string() + "/";
    const std::string log = folder + kLogName;
    std::vector<std::string> folders;
    for (const std::string& entry : ReadLogEntries(log)) {
        if (!entry.empty() && entry.back() == '/') {
            folders.push_back(entry);
        } else {
            std::error_code error;
            if (!fs::is_directory(fs::symlink_status(entry, error))) fs::remove(entry, error);
        }
    }
    std::error_code error;
    fs::remove(log, error);

    RemovalResult result;
    result.script = places.temporary + kName + kVersion + ".sh";
    const std::string text =
        RemovalScript(folders, executable, InstalledSettingsPath(executable, places), pid, result.script);
    ::unlink(result.script.c_str()); // a script left by an earlier removal; never another user's file
    const int fd = ::open(result.script.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
    if (fd >= 0) {
        result.scriptWritten = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
        ::close(fd);
    }
    return result;
}

bool StartDetachedScript(const std::string& script) {
    // Started through an intermediate shell that ends at once, so the script is nobody's child.
    const std::string command = "/bin/sh " + Quoted(script) + " </dev/null >/dev/null 2>&1 &";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int error =
        posix_spawn(&child, "/bin/sh", nullptr, &attributes, const_cast<char* const*>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) return false;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace mw::setup
