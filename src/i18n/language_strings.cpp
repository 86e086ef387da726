#include "i18n/language_strings.hpp"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <new>

#include "base/utf.hpp"
#include "i18n/builtin_language_text.hpp"

namespace mw {

// ---- StringTable ----

StringTable::StringTable(int slotCount) : texts_(size_t(slotCount)), filled_(size_t(slotCount), false) {}

const std::string& StringTable::Text(int number) const {
    if (number < 0 || number >= SlotCount() || !filled_[size_t(number)]) return EmptyText;
    return texts_[size_t(number)];
}

bool StringTable::IsFilled(int number) const {
    return number >= 0 && number < SlotCount() && filled_[size_t(number)];
}

void StringTable::Set(int number, std::string text) {
    if (number < 0 || number >= SlotCount()) return;
    texts_[size_t(number)] = std::move(text);
    filled_[size_t(number)] = true;
}

void StringTable::Clear() {
    for (size_t i = 0; i < texts_.size(); ++i) {
        texts_[i] = std::string();
        filled_[i] = false;
    }
}

int StringTable::FilledCount() const {
    int n = 0;
    for (bool f : filled_) n += f ? 1 : 0;
    return n;
}

// ---- the entry parser ----

namespace {

constexpr std::u16string_view kEntryStart = u"\r\n[";

bool IsDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The key read as a signed decimal number the way the C library's atol reads it: leading white
// space, an optional sign, then the leading digits ("12a" gives 12, "a12" gives 0). Saturates far
// outside the table instead of overflowing.
long ReadKey(std::u16string_view key) {
    size_t i = 0;
    while (i < key.size() && (key[i] == u' ' || (key[i] >= u'\t' && key[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < key.size() && (key[i] == u'+' || key[i] == u'-')) negative = key[i++] == u'-';
    long value = 0;
    for (; i < key.size() && IsDecimalDigit(key[i]); ++i) {
        if (value < 1000000000L) value = value * 10 + (key[i] - u'0');
    }
    return negative ? -value : value;
}

void ReplaceAll(std::u16string& text, std::u16string_view from, char16_t to) {
    size_t at = text.find(from);
    if (at == std::u16string::npos) return;
    std::u16string out;
    out.reserve(text.size());
    size_t done = 0;
    for (; at != std::u16string::npos; at = text.find(from, done)) {
        out.append(text, done, at - done);
        out.push_back(to);
        done = at + from.size();
    }
    out.append(text, done, std::u16string::npos);
    text = std::move(out);
}

// The five escapes, each replaced throughout the text before the next one is looked for.
void ReplaceEscapes(std::u16string& text) {
    if (text.find(u'\\') == std::u16string::npos) return;
    ReplaceAll(text, u"\\r", u'\r');
    ReplaceAll(text, u"\\n", u'\n');
    ReplaceAll(text, u"\\t", u'\t');
    ReplaceAll(text, u"\\\"", u'"');
    ReplaceAll(text, u"\\'", u'\'');
}

void StripTrailingBlanks(std::u16string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == u'\r' || text[end - 1] == u'\n' || text[end - 1] == u' ' ||
                       text[end - 1] == u'\t'))
        --end;
    text.resize(end);
}

} // namespace

namespace detail {

bool NextLanguageEntry(std::u16string_view text, size_t position, long& key, std::u16string& entryText,
                       size_t& next) {
    const size_t start = text.find(kEntryStart, position);
    if (start == std::u16string_view::npos) return false;
    const size_t open = start + 2;
    const size_t close = text.find(u']', open + 1);
    if (close == std::u16string_view::npos) return false;
    const std::u16string_view keyText = text.substr(open + 1, close - open - 1);
    bool hasDigit = false;
    for (char16_t c : keyText) hasDigit = hasDigit || IsDecimalDigit(c);
    if (!hasDigit) return false; // the next zone's header (or a blank key) ends the zone
    key = ReadKey(keyText);

    const size_t following = text.find(kEntryStart, close + 1);
    const size_t begin = close + 2; // the "]" and one separator character
    const size_t end = following == std::u16string_view::npos ? text.size() : following;
    entryText.assign(begin < end ? text.substr(begin, end - begin) : std::u16string_view());
    ReplaceEscapes(entryText);
    if (following == std::u16string_view::npos) StripTrailingBlanks(entryText);
    next = following;
    return true;
}

} // namespace detail

// ---- the built-in text ----

std::u16string_view BuiltInLanguageText() {
    static const std::u16string text = [] {
        std::string utf8 = "\xEF\xBB\xBF\r\n"; // the byte-order mark, then CR LF
        const std::span<const std::string_view> zones[] = {
            builtin_text::GeneralZone(),  builtin_text::EnglishZone(), builtin_text::DeutschZone(),
            builtin_text::FrancaisZone(), builtin_text::EspanolZone(), builtin_text::JapaneseZone()};
        for (const auto& zone : zones) {
            for (std::string_view piece : zone) {
                for (char c : piece) {
                    if (c == '\r') continue;
                    if (c == '\n') utf8.push_back('\r');
                    utf8.push_back(c);
                }
            }
        }
        return utf::Utf8ToUtf16(utf8);
    }();
    return text;
}

// ---- loading ----

namespace {

// A language file larger than this is not taken into memory (the built-in text is about 400 KB).
constexpr long long kMaxLanguageFileBytes = 64LL * 1024 * 1024;

void StoreEntries(StringTable& table, std::u16string_view text, size_t position) {
    ParseLanguageEntries(text, position, [&table](long key, std::u16string&& entry) {
        if (key >= 0 && key < table.SlotCount()) table.Set(int(key), utf::Utf16ToUtf8(entry));
    });
}

void LoadBuiltInZone(StringTable& table, std::string_view zoneName) {
    std::u16string_view text = BuiltInLanguageText();
    text.remove_suffix(1); // the resource's last unit gives way to the terminator
    const std::u16string zone = utf::Utf8ToUtf16(zoneName);
    if (zone.empty()) return;
    const size_t at = text.find(zone);
    if (at == std::u16string_view::npos) return;
    StoreEntries(table, text, at + zone.size());
}

LanguageLoadFailure ReadLanguageFile(const std::string& path, std::u16string& text) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode) || info.st_size <= 0)
        return LanguageLoadFailure::NoSize;
    if (info.st_size > kMaxLanguageFileBytes) return LanguageLoadFailure::NoMemory;
    const size_t size = size_t(info.st_size);
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size + 2]());
    if (!bytes) return LanguageLoadFailure::NoMemory;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return LanguageLoadFailure::CannotOpen;
    const size_t got = std::fread(bytes.get(), 1, size, file);
    std::fclose(file);
    (void)got; // a file that shrank meanwhile leaves zeros, which end the text
    text.clear();
    text.reserve(size / 2);
    for (size_t k = 0; k < size / 2; ++k) {
        const char16_t unit = char16_t(bytes[2 * k] | (bytes[2 * k + 1] << 8));
        if (unit == 0) break; // the text ends at its first terminator
        text.push_back(unit);
    }
    return LanguageLoadFailure::None;
}

LanguageLoadFailure LoadLanguageFile(StringTable& table, const std::string& path) {
    std::u16string text;
    const LanguageLoadFailure failure = ReadLanguageFile(path, text);
    if (failure != LanguageLoadFailure::None) {
        LoadBuiltInZone(table, kZoneEnglish);
        return failure;
    }
    StoreEntries(table, text, 0);
    return LanguageLoadFailure::None;
}

} // namespace

std::string_view ZoneNameFor(uint16_t languageCode) {
    switch (languageCode) {
    case kLanguageDeutsch:
        return kZoneDeutsch;
    case kLanguageFrancais:
        return kZoneFrancais;
    case kLanguageEspanol:
        return kZoneEspanol;
    case kLanguageJapanese:
        return kZoneJapanese;
    default:
        return kZoneEnglish;
    }
}

LanguageFailureMessage MessageFor(LanguageLoadFailure failure) {
    switch (failure) {
    case LanguageLoadFailure::NoSize:
        return {"Language strings file is of size zero or has no size, English will be used...",
                "Unable to determine language strings file size"};
    case LanguageLoadFailure::NoMemory:
        return {"Unable to allocate the memory needed to parse the language strings buffer, English will be "
                "used...",
                "Unable to allocate the memory for the language strings"};
    case LanguageLoadFailure::CannotOpen:
        return {"Unable to open language strings file, English will be used...",
                "Unable to open language strings file"};
    case LanguageLoadFailure::None:
        break;
    }
    return {"", ""};
}

LanguageLoadFailure LoadLanguageZone(StringTable& table, std::string_view zoneName,
                                     const std::string& filePath) {
    if (!filePath.empty()) return LoadLanguageFile(table, filePath);
    LoadBuiltInZone(table, zoneName);
    return LanguageLoadFailure::None;
}

LanguageLoadFailure ApplyLanguage(LanguageStrings& table, uint16_t languageCode,
                                  const std::string& userLanguageFile) {
    table.Clear();
    if (languageCode == kLanguageUserFile) return LoadLanguageFile(table, userLanguageFile);
    LoadBuiltInZone(table, ZoneNameFor(languageCode));
    return LanguageLoadFailure::None;
}

void LoadGeneralStrings(GeneralStrings& table) {
    LoadBuiltInZone(table, kZoneGeneral);
}

} // namespace mw
