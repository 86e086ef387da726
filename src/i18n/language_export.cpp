#include "i18n/language_export.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/utf.hpp"
#include "i18n/language_strings.hpp"

namespace mw {

namespace {

const char* LanguageName(uint16_t code) {
    switch (code) {
    case kLanguageDeutsch:
        return "Deutsch";
    case kLanguageFrancais:
        return "Français";
    case kLanguageEspanol:
        return "Español";
    case kLanguageJapanese:
        return "日本語 (Japanese)";
    default:
        return "English";
    }
}

bool IsLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n';
}

} // namespace

std::optional<uint16_t> ParseLanguageCodeName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (lower == "en" || lower == "0") return kLanguageEnglish;
    if (lower == "de" || lower == "1") return kLanguageDeutsch;
    if (lower == "fr" || lower == "2") return kLanguageFrancais;
    if (lower == "es" || lower == "3") return kLanguageEspanol;
    if (lower == "ja" || lower == "4") return kLanguageJapanese;
    return std::nullopt;
}

std::u16string LanguageFileText(uint16_t languageCode) {
    const std::u16string_view text = BuiltInLanguageText();
    const std::u16string zone = utf::Utf8ToUtf16(ZoneNameFor(languageCode));
    size_t begin = text.find(zone);
    if (begin == std::u16string_view::npos) return {};
    begin += zone.size();
    size_t end = text.find(u"\r\n[Zone_", begin);
    if (end == std::u16string_view::npos) end = text.size();
    while (begin < end && IsLineBreak(text[begin])) ++begin;
    while (end > begin && IsLineBreak(text[end - 1])) --end;

    std::string guide = "\xEF\xBB\xBF"; // byte-order mark
    guide += "Murmelwerk language strings: ";
    guide += LanguageName(languageCode);
    guide += " (language code " + std::to_string(languageCode) +
             "), written from the program's built-in text.\r\n";
    guide +=
        "Every entry starts on a line of its own with its number in brackets and one TAB; its text runs up "
        "to "
        "the next line that starts with a bracket, so a text may span several lines. Everything above the "
        "first entry is passed over.\r\n";
    guide +=
        "Translate the texts and keep every %ld, %u, %s, %g, %% and the other % codes, and every &&, exactly "
        "as they are; a single & marks the underlined letter of a button.\r\n";
    guide +=
        "Inside a text, \\r, \\n, \\t, \\\" and \\' stand for a carriage return, a line feed, a TAB, a "
        "double quote and a single quote. Blanks at the end of a text count, except in the last entry of "
        "the file.\r\n";
    guide += "Keep the file in UTF-16 (little-endian) and choose it in the language dialog (Preferences, "
             "Language Options, the picture button).\r\n\r\n";

    std::u16string out = utf::Utf8ToUtf16(guide);
    out.append(text.substr(begin, end - begin));
    out.append(u"\r\n");
    return out;
}

bool WriteLanguageFile(uint16_t languageCode, const std::string& path, std::string& error) {
    const std::u16string text = LanguageFileText(languageCode);
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t u : text) {
        bytes.push_back(char(u & 0xFF));
        bytes.push_back(char(u >> 8));
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const bool flushed = std::fflush(file) == 0;
    const int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written != bytes.size() || !flushed || !closed) {
        error = std::strerror(written != bytes.size() || !flushed ? savedErrno : errno);
        return false;
    }
    return true;
}

} // namespace mw
