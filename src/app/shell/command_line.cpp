#include "app/shell/command_line.hpp"

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace mw {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

/// The option name is written with its dash; the argument may leave it out.
bool IsOption(std::string_view argument, std::string_view option) {
    return EqualIgnoringCase(argument, option) || EqualIgnoringCase(argument, option.substr(1));
}

void ReadSwitchValue(std::span<const std::string> arguments, size_t option, std::optional<bool>& value) {
    if (option + 1 >= arguments.size()) {
        value = true;
        return;
    }
    const std::string& next = arguments[option + 1];
    if (next.starts_with('0')) {
        value = false;
    } else if (next.starts_with('1')) {
        value = true;
    }
}

bool NamesPatchFile(const std::string& argument, const FileExistsFunction& fileExists) {
    constexpr std::string_view kExtension = ".mwc";
    return argument.size() > kExtension.size() &&
           EqualIgnoringCase(std::string_view(argument).substr(argument.size() - kExtension.size()),
                             kExtension) &&
           fileExists(argument);
}

} // namespace

bool RegularFileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

CommandLineOptions ParseCommandLine(std::span<const std::string> arguments,
                                    const FileExistsFunction& fileExists) {
    CommandLineOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (IsOption(argument, "-NoInstall")) {
            options.NoInstall = true;
        } else if (IsOption(argument, "-RemoveIt")) {
            options.RemoveIt = true;
        } else if (IsOption(argument, "-DoHelp")) {
            options.DoHelp = true;
        } else if (IsOption(argument, "-AutoStartOnly")) {
            options.AutoStartOnly = true;
        } else if (IsOption(argument, "-AutoStartAndHide")) {
            options.AutoStartAndHide = true;
        } else if (IsOption(argument, "-MakeNoSound")) {
            ReadSwitchValue(arguments, i, options.MakeNoSound);
        } else if (IsOption(argument, "-WrapMouse")) {
            ReadSwitchValue(arguments, i, options.WrapMouse);
        } else if (options.PatchFile.empty() && NamesPatchFile(argument, fileExists)) {
            options.PatchFile = argument;
        }
    }
    return options;
}

StartupPath StartupPathOf(const CommandLineOptions& options) {
    if (options.RemoveIt) {
        return StartupPath::Remove;
    }
    return options.DoHelp ? StartupPath::Help : StartupPath::Run;
}

} // namespace mw
