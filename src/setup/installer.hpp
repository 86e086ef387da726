#pragma once
// Installing the program for the user who runs it, deciding at start-up whether to offer that, and
// removing an installation again. Every file and folder an installation creates is recorded in its
// log ("Install_Log.txt" in the installation folder); the removal deletes what the log names and hands
// the rest (the folders, the running executable, its settings file) to a shell script that runs after
// the program has ended.

#include <functional>
#include <string>
#include <vector>

#include "setup/install_files.hpp"

namespace mw::setup {

/// The texts of the shortcuts' names, in the user's language (UTF-8).
struct ShortcutNames {
    std::string uninstall;  ///< "Uninstall Murmelwerk" (617)
    std::string localHelp;  ///< "Local Help" (615)
    std::string onlineHelp; ///< "Online Help" (616)
    std::string forum;      ///< "Visit the Murmelwerk forum" (614)
};

struct InstallOptions {
    std::string
        folder; ///< the installation folder ("~/" is the home folder); a missing "/" at its end is added
    bool desktop = true;
    bool startMenu = true;
    bool extended = true;  ///< the extended start-menu shortcuts (in the "Murmelwerk Software" submenu)
    bool allUsers = false; ///< the menu entries go to the system's applications folder
    bool update = false;   ///< keep an existing settings file
};

struct InstallInputs {
    Places places;
    std::string runningExecutable; ///< the file that is copied
    ShortcutNames names;
    std::string onlineHelpUrl, forumUrl, homeUrl;
    /// Writes the settings file at the path given; false on failure.
    std::function<bool(const std::string& path)> writeSettings;
};

struct InstallResult {
    bool copied = false;    ///< false: nothing was created (the copy failed)
    std::string executable; ///< the installed executable
    std::string folder;     ///< the installation folder, with "/" at its end
    std::string settingsFile;
};

/// Installs: the folder, the executable, the icon, the shortcuts, the registry file, the settings
/// file; logs every file and folder created. Failures other than the copy's are passed over.
InstallResult Install(const InstallOptions& options, const InstallInputs& inputs);

/// The settings file of an installed executable (the settings rule for a writable folder).
std::string InstalledSettingsPath(const std::string& executable, const Places& places);

/// Whether two paths name the same file (or, when either does not exist, are the same text).
bool SamePath(const std::string& a, const std::string& b);

/// A program that the system's package manager installed runs from one of these folders.
bool InstalledByPackageManager(const std::string& runningExecutable);

/// What start-up asks about installation.
enum class InstallQuestion {
    None,           ///< this is the installed copy (or a package): run
    InstallVersion, ///< 623: an installation is recorded without the version value
    Reinstall,      ///< 624: this version is recorded as installed elsewhere
    InstallNew,     ///< 626: nothing is installed
};
struct InstallDecision {
    InstallQuestion question = InstallQuestion::None;
    std::string installedExecutable; ///< the recorded installed copy (623, 624)
};
InstallDecision DecideInstallation(const RegistryFile& registry, const std::string& runningExecutable);

/// What the removal came to.
struct RemovalResult {
    std::string script; ///< the removal script's path
    bool scriptWritten = false;
};

/// The removal script's text: the logged folders (deepest first), then, once the process `pid` has
/// ended, the executable, its settings file, its folder and the script itself.
std::string RemovalScript(const std::vector<std::string>& folders, const std::string& executable,
                          const std::string& settingsFile, long pid, const std::string& scriptPath);

/// Removes the installation that `executable` belongs to: deletes the uninstall key of the registry
/// file, deletes every file the log names, then the log, and writes the removal script into the
/// temporary folder (not started).
RemovalResult RemoveInstallation(const std::string& executable, const Places& places, long pid);

/// Starts a script with /bin/sh in a session of its own, not waited for. False when it cannot start.
bool StartDetachedScript(const std::string& script);

} // namespace mw::setup
