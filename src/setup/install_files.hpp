#pragma once
// The files an installation is made of, in their Linux form: the product's identity, the folders of
// the user's desktop, the installation log, the registry file and the desktop entries (the shortcuts).

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mw::setup {

inline constexpr const char* kName = "Murmelwerk";
inline constexpr const char* kVersion = "1.0";
/// The installed executable. Its extension keeps the settings file's name "Murmelwerkv1.0.MWS": the
/// settings file is named after the executable with the part after its last "." replaced by "MWS".
inline constexpr const char* kExecutableName = "Murmelwerkv1.0.bin";
inline constexpr const char* kLogName = "Install_Log.txt";
inline constexpr const char* kIconName = "murmelwerk.svg";

/// Registry keys and values (held in the registry file).
inline constexpr const char* kProductKey = "SOFTWARE\\Murmelwerk\\Murmelwerk";
inline constexpr const char* kPathValue = "1.0EXENameAndPath";
inline constexpr const char* kVersionValue = "1.0";
std::string UninstallKey(); ///< "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Murmelwerk 1.0"

/// Where things go on this desktop. Every folder ends with "/".
struct Places {
    std::string home;                 ///< $HOME
    std::string configHome;           ///< $XDG_CONFIG_HOME, else ~/.config/
    std::string dataHome;             ///< $XDG_DATA_HOME, else ~/.local/share/
    std::string desktop;              ///< the XDG desktop folder (user-dirs.dirs), else ~/Desktop/
    std::string temporary;            ///< $TMPDIR, else /tmp/
    std::string allUsersApplications; ///< /usr/local/share/applications/
    std::optional<std::string> xdgConfigHomeVariable; ///< XDG_CONFIG_HOME as set, for the settings rule

    /// The places of the running process's environment.
    static Places FromEnvironment();

    std::string RegistryPath() const;  ///< configHome + "murmelwerk/registry.ini"
    std::string DefaultFolder() const; ///< ~/.local/opt/Murmelwerk 1.0/
    std::string Applications() const;  ///< dataHome + "applications/"
    std::string MenuFile() const;      ///< the submenu of the extended shortcuts
    std::string MenuDirectoryFile() const;
};

/// The folder named by `XDG_<NAME>_DIR` in the text of a user-dirs.dirs file ("$HOME/..." or an
/// absolute path, in double quotes), with "/" at the end; empty when it is not there.
std::string UserDirFromText(std::string_view fileText, std::string_view name, const std::string& home);

/// Appends CR LF and `text` (UTF-8) to the log as UTF-16LE; a new file starts with the byte-order
/// mark FF FE. False when the file cannot be opened.
bool AppendToFile(const std::string& file, std::string_view text);
/// The entries of a log written by `AppendToFile` (UTF-8), in file order; empty when there is none.
std::vector<std::string> ReadLogEntries(const std::string& file);

/// The registry file: sections named by key, each a set of named text values; INI syntax, values with
/// '\\', CR and LF escaped.
class RegistryFile {
public:
    using Key = std::map<std::string, std::string>;
    /// Reads the file; a missing file is an empty registry.
    static RegistryFile Read(const std::string& path);
    bool Write(const std::string& path) const; ///< creates the folder; false on failure

    const Key* Find(const std::string& key) const;
    std::optional<std::string> Value(const std::string& key, const std::string& name) const;
    void Set(const std::string& key, const std::string& name, const std::string& value);
    void Remove(const std::string& key);
    std::string Text() const;
    static RegistryFile FromText(std::string_view text);

private:
    std::map<std::string, Key> keys_;
};

/// A desktop entry that starts `executable` with `arguments` (empty: none).
std::string ApplicationEntry(const std::string& name, const std::string& executable,
                             const std::string& arguments, const std::string& icon,
                             const std::string& categories);
/// A desktop entry of Type=Link that opens `url`.
std::string LinkEntry(const std::string& name, const std::string& url, const std::string& icon,
                      const std::string& categories);
/// The submenu "Murmelwerk Software" of the extended shortcuts: the menu file and its directory entry.
std::string SubmenuMenuText();
std::string SubmenuDirectoryText();
inline constexpr const char* kSubmenuCategory = "X-Murmelwerk-Software";

/// The program's icon as an SVG picture: a wave drawn by a moving mouse on a blue rounded square.
std::string IconSvg();

/// A text usable as a file name: every '/' becomes '-'.
std::string FileNameOf(std::string_view text);

} // namespace mw::setup
