#pragma once
// The settings file: the binary file that keeps `ProgramSettings` between runs.
//
// Layout (all integers little-endian; a string is an unsigned 32-bit byte count N, then N bytes of
// UTF-16LE text, N counting the terminating NUL, so an empty string is N = 2 and one NUL unit):
//   magic (16 bytes, the GUID {92D3557C-946E-4845-A551-F5F1D0AFE469} in binary layout),
//   product name "Murmelwerk" (string), version 1 and 0 (two u32), 16 reserved zero bytes, then the
//   fields in the order of `SerializeSettings`; the colour slots are stored as 1-4, 7-18, 5, 6.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/settings/program_settings.hpp"

namespace mw {

/// What reading the settings file came to. Every outcome except `Loaded` leaves the defaults in
/// place (apart from what the version question's callback changed, see `LoadSettings`).
enum class SettingsLoadOutcome {
    Loaded,               ///< read; possibly only in part (see `SettingsLoadResult::complete`)
    NoFile,               ///< the file cannot be opened: first start
    NotOfThisProgram,     ///< fewer than 16 bytes: message 193
    NotOfMurmelwerk,      ///< the magic differs: message 194
    NotASettingsFile,     ///< the product name differs: message 195
    OtherVersionDeclined, ///< another version at the default location, and the answer to 196 was No
};

struct SettingsLoadResult {
    SettingsLoadOutcome outcome = SettingsLoadOutcome::Loaded;
    /// The caller runs the language choice (the language dialog, then `ApplyLanguage`) before it shows
    /// any message: true for `NoFile` and the three rejections.
    bool chooseLanguage = false;
    /// The `LanguageStrings` number of the information message to show afterwards (no owner window,
    /// information icon): 193, 194 or 195; 0 for none.
    int messageNumber = 0;
    /// False when reading ended early (a cut file, or a string whose count is negative or above
    /// 1,000,000): the fields read so far keep their new values, the rest their defaults. Silent.
    bool complete = true;
};

/// Asked when the file at the default location carries another version than 1.0. The callback runs
/// the language choice on the settings it is given (which hold the defaults at that point) and then
/// asks 196 "The saved settings file is not of this version, load anyway?" with caption 197 as a
/// Yes/No question; it returns true for Yes. Without a callback the answer is No.
using VersionQuestion = std::function<bool(ProgramSettings&)>;

/// The product name stored in the file.
inline constexpr const char* kSettingsProductName = "Murmelwerk";

/// A stored string longer than this many bytes (count included NUL) ends the reading.
inline constexpr int64_t kMaxSettingsStringBytes = 1000000;

/// The file's bytes for `settings`. A text too long for a reader to accept is cut to the longest
/// length that reads back (499,999 UTF-16 units) instead of making the rest of the file unreadable.
std::vector<uint8_t> SerializeSettings(const ProgramSettings& settings);

/// Writes the settings file. An empty path means `DefaultSettingsPath()` (whose folder is created
/// when it is missing); any other path is used unchanged. The file is written under a temporary name
/// in the same folder and then renamed over the old one, so a crash or a full disk while saving leaves
/// the previous file intact. Returns false when nothing could be written; callers stay silent (the
/// next save tries again).
bool SaveSettings(const ProgramSettings& settings, const std::string& path);

/// Reads the settings file into `settings`: first every field is set to its default, then the file is
/// read. An empty path means the default file; only then is another version questioned (`ask`); with
/// an explicit path the version is not questioned.
SettingsLoadResult LoadSettings(ProgramSettings& settings, const std::string& path,
                                const VersionQuestion& ask = {});

/// Reads settings from bytes already in memory (the same rules; `isDefaultLocation` selects whether
/// another version is questioned).
SettingsLoadResult ParseSettings(ProgramSettings& settings, const std::vector<uint8_t>& bytes,
                                 bool isDefaultLocation, const VersionQuestion& ask = {});

/// The default settings file: next to the executable, named after it with its extension replaced by
/// "MWS" (X.exe keeps X.MWS), when the executable's folder is writable and its name has an extension;
/// otherwise "$XDG_CONFIG_HOME/murmelwerk/" (default "~/.config/murmelwerk/") + the executable's name
/// without extension + ".MWS".
std::string DefaultSettingsPath();

/// The rule of `DefaultSettingsPath` for given inputs: the executable's full path, whether its folder
/// is writable, and the values of XDG_CONFIG_HOME and HOME (null when unset). A relative
/// XDG_CONFIG_HOME is ignored, as the XDG base directory rules ask.
std::string SettingsPathFor(const std::string& executablePath, bool folderWritable, const char* xdgConfigHome,
                            const char* home);

/// The full path of the running executable (empty if it cannot be found).
std::string ExecutablePath();

} // namespace mw
