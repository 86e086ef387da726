#pragma once
// Patch (configuration) files: a UTF-16LE text of INI-like sections, one per module, in which every
// reference between modules is written as the source module's name.
//
// Loading has two passes. The first pass (ParseConfiguration) asks the current modules to remove
// themselves, finds the sections and creates one module per known section, reading its name,
// position and plain parameters (ReadSection). The link pass (LinkConfiguration) runs after the old
// modules are gone and resolves the source names and output-device routings (LinkSection) of every
// module that still keeps its section text. The GUI runs the link pass 10 ms after the first;
// LoadConfigurationText and LoadConfigurationFile run both at once.
//
// Saving writes the byte-order mark, the header line and one section per module in ModuleKind order
// and list order; every value form is the C locale's, whatever the process locale.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/module.hpp"
#include "model/params.hpp"

namespace mw {

class Patch;

/// The header text (LanguageStrings 158) used until the language table provides it.
inline constexpr std::string_view kDefaultConfigHeader = "Murmelwerk Configuration (MWC)";

/// Outcome of reading or writing a patch file.
enum class ConfigStatus {
    Ok,
    OpenFailed,   // the file could not be opened for reading (159/160)
    CreateFailed, // the file could not be created for writing (149/150)
    WriteFailed,  // a write failed; the old file is left as it was (156/157)
};

/// The message box a failure calls for: LanguageStrings numbers of text and caption, and the English texts.
struct ConfigMessage {
    int text;
    int caption;
    std::string_view englishText;
    std::string_view englishCaption;
};
std::optional<ConfigMessage> MessageFor(ConfigStatus status);

// ---------------------------------------------------------------- sections

/// Walks the sections of a source: each starts at a "[" whose previous code unit is a line feed (the
/// start of the source counts as one) and runs up to, not including, the next such "[".
class SectionScanner {
public:
    explicit SectionScanner(std::u16string_view text) : text_(text) {}
    /// The next section text; false at the end of the source.
    bool Next(std::u16string_view& section);

private:
    std::u16string_view text_;
    size_t pos_ = 0;
};

/// The kind a section names: leading "[(){}[] \t" stripped, the keyword runs to the first of
/// " \t][(){}", compared ignoring letter case. nullopt for an unknown keyword.
std::optional<ModuleKind> SectionKind(std::u16string_view sectionText);

/// First pass: name, position (client coordinates; clientOrigin is added), reals, integers,
/// booleans (absent: false), texts, enumerations and the MIDI-slider table.
void ReadSection(Module& module, std::u16string_view sectionText, Point clientOrigin = {});
/// Link pass: every source of a link or input by its name and SubType, and the output-device routings.
void LinkSection(Module& module, std::u16string_view sectionText, const Patch& patch);

/// One key as the writer emits it after Name and Position, with the model's value.
struct WrittenKey {
    std::string key;
    KeyRole role;
    int64_t integer = 0; // source id, SubType, integer, enumeration index, device id, signed controller
    double real = 0;     // reals, sensitivities, values
    bool boolean = false;
    std::string text; // source name, text (FilePath bytes, sequence unescaped), enumeration text,
                      // the controller as written
};
/// Calls f for every key of the module in writer order (MIDI sliders: one Controller n key each).
void ForEachWrittenKey(const Module& module, const Patch& patch,
                       const std::function<void(const WrittenKey&)>& f);

/// A module's section as the writer emits it: CR LF "[keyword]", then CR LF key "=" value per key,
/// then CR LF. Position is written in client coordinates (the screen position minus clientOrigin).
std::u16string WriteSection(const Module& module, const Patch& patch, Point clientOrigin = {});

/// A whole file's text: U+FEFF, "## " header " ##", then every module's section in save order.
std::u16string ConfigurationText(const Patch& patch, std::string_view header = kDefaultConfigHeader,
                                 Point clientOrigin = {});

/// UTF-16 code units to little-endian bytes, and back (a trailing odd byte is dropped).
std::string ToFileBytes(std::u16string_view text);
std::u16string FromFileBytes(std::string_view bytes);

// ---------------------------------------------------------------- patch level

/// First pass of a load: queues the removal of every current module (they keep their slots until
/// the removals are processed), then creates one module per known section, and refreshes the views
/// once. Returns the number of modules created.
size_t ParseConfiguration(Patch& patch, std::u16string_view text, Point clientOrigin = {});
/// Processes the queued removals, then runs the link pass over every module that keeps a section
/// text (in the reader's kind order), drops the kept texts, republishes the patch and refreshes the
/// views once.
void LinkConfiguration(Patch& patch);

/// Both passes at once on an in-memory text (a built-in patch or a file already read); the views are
/// refreshed once at the end.
size_t LoadConfigurationText(Patch& patch, std::u16string_view text, Point clientOrigin = {});
/// The largest patch file read; a larger one (or an endless device such as /dev/zero) is unreadable.
inline constexpr uint64_t kMaxConfigurationFileBytes = uint64_t(256) << 20;

/// Reads a whole file as UTF-16LE code units. OpenFailed when it cannot be opened or read, or is larger
/// than kMaxConfigurationFileBytes.
ConfigStatus ReadConfigurationFile(const std::string& path, std::u16string& text);
/// Reads the file and loads it; on OpenFailed the current patch is unchanged.
ConfigStatus LoadConfigurationFile(Patch& patch, const std::string& path, Point clientOrigin = {});
/// Writes the patch to a file, replacing it safely (see ReplaceFile): on failure the old file stays as
/// it was. `error`, when given, receives the errno value of a failure (0 on success).
ConfigStatus SaveConfigurationFile(const Patch& patch, const std::string& path,
                                   std::string_view header = kDefaultConfigHeader, Point clientOrigin = {},
                                   int* error = nullptr);
/// Removes every module.
void ClearConfiguration(Patch& patch);

} // namespace mw
