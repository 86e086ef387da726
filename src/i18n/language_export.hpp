#pragma once
// Writing a language of the built-in text as a user language file, as a start for translators.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

/// The language code named by "en", "de", "fr", "es", "ja" (any letter case) or by its number 0..4.
std::optional<uint16_t> ParseLanguageCodeName(std::string_view name);

/// The user language file for a built-in language (code 0..4): the byte-order mark, a few lines of
/// guidance for translators (which the loader passes over, as they precede the first entry), a blank
/// line, then the language's entries exactly as the built-in text holds them, and a final CR LF.
/// Loading it back gives the built-in texts; only the last entry (the licence agreement, 632) loses
/// the trailing line break it has inside the built-in text, as the last entry of any file does.
std::u16string LanguageFileText(uint16_t languageCode);

/// Writes `LanguageFileText(languageCode)` as UTF-16LE to `path` (replacing the file). On failure
/// returns false and describes the reason in `error`.
bool WriteLanguageFile(uint16_t languageCode, const std::string& path, std::string& error);

} // namespace mw
