#pragma once
// The program's command line: the start-up options and the patch file to open.

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace mw {

/// What the command line asks for. MakeNoSound and WrapMouse are empty when the command line leaves
/// them to the saved settings; a value applies to this run only and is never saved.
struct CommandLineOptions {
    bool NoInstall = false;        ///< skip the installation check
    bool RemoveIt = false;         ///< run the remover and end
    bool DoHelp = false;           ///< show the help dialog and end
    bool AutoStartOnly = false;    ///< the main window presses Start when it opens
    bool AutoStartAndHide = false; ///< the main window presses Start & Hide when it opens
    std::optional<bool> MakeNoSound;
    std::optional<bool> WrapMouse;
    std::string PatchFile; ///< the first argument naming an existing ".mwc" file; empty if none

    bool operator==(const CommandLineOptions&) const = default;
};

/// Tells whether a path names an existing regular file.
using FileExistsFunction = std::function<bool(const std::string& path)>;
bool RegularFileExists(const std::string& path);

/// Reads the arguments that follow the program name. Each argument is compared, ignoring case, with
/// every option name with and without its leading "-"; unrecognised arguments are ignored. The
/// value of "-MakeNoSound" and "-WrapMouse" is the next argument: beginning with "0" it turns the
/// option off, with "1" on, anything else leaves it as it was; no next argument turns it on. The
/// value is not consumed: it is examined again as an argument of its own.
CommandLineOptions ParseCommandLine(std::span<const std::string> arguments,
                                    const FileExistsFunction& fileExists = RegularFileExists);

/// The way start-up goes once the options are known: the remover wins over the help dialog.
enum class StartupPath { Remove, Help, Run };
StartupPath StartupPathOf(const CommandLineOptions& options);

} // namespace mw
