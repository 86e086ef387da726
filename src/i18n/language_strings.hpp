#pragma once
// The language tables: every user-visible text is looked up by its string number.
//
// The texts come from the built-in language text (one zone per language, embedded in the program)
// or from a user language file. Both are UTF-16LE texts of numbered entries:
//
//     CR LF "[" number "]" separator text
//
// An entry's text runs up to the next CR LF that is directly followed by "[", so it may span several
// lines; a bracketed key without a decimal digit (a zone header such as "[Zone_Deutsch]") ends the
// zone. The tables keep the texts as UTF-8.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

/// The shared empty text that every unfilled slot reads as.
inline const std::string EmptyText{};

/// A table of numbered texts; a slot is either filled (it owns its text, which may be empty) or
/// reads as `EmptyText`.
class StringTable {
public:
    explicit StringTable(int slotCount);

    int SlotCount() const { return int(texts_.size()); }

    /// The text of string `number` (UTF-8). Never fails: an unfilled slot or a number outside the
    /// table gives the empty text.
    const std::string& Text(int number) const;

    /// True when the slot holds a text of its own (possibly empty).
    bool IsFilled(int number) const;

    /// Stores a text in a slot; numbers outside the table are ignored.
    void Set(int number, std::string text);

    /// Releases every text: every slot reads as `EmptyText` again.
    void Clear();

    /// Number of filled slots.
    int FilledCount() const;

private:
    std::vector<std::string> texts_;
    std::vector<bool> filled_;
};

/// The 1024 texts of the current language, indexed by string number 0..1023.
class LanguageStrings : public StringTable {
public:
    static constexpr int kSlotCount = 1024;
    LanguageStrings() : StringTable(kSlotCount) {}
};

/// The 64 texts of "[Zone_General]": language names (even numbers) and the "choose your language"
/// prompts in those languages (odd numbers), shown by the language dialog all at once.
class GeneralStrings : public StringTable {
public:
    static constexpr int kSlotCount = 64;
    GeneralStrings() : StringTable(kSlotCount) {}
};

/// `LanguageCode` values.
inline constexpr uint16_t kLanguageEnglish = 0;
inline constexpr uint16_t kLanguageDeutsch = 1;
inline constexpr uint16_t kLanguageFrancais = 2;
inline constexpr uint16_t kLanguageEspanol = 3;
inline constexpr uint16_t kLanguageJapanese = 4;
inline constexpr uint16_t kLanguageUserFile = 1000;

inline constexpr std::string_view kZoneGeneral = "[Zone_General]";
inline constexpr std::string_view kZoneEnglish = "[Zone_English]";
inline constexpr std::string_view kZoneDeutsch = "[Zone_Deutsch]";
inline constexpr std::string_view kZoneFrancais = "[Zone_Francais]";
inline constexpr std::string_view kZoneEspanol = "[Zone_Espanol]";
inline constexpr std::string_view kZoneJapanese = "[Zone_Japanese]";

/// The built-in zone of a language code: 1 Deutsch, 2 Francais, 3 Espanol, 4 Japanese, any other
/// code (1000 included) English.
std::string_view ZoneNameFor(uint16_t languageCode);

/// Why a user language file could not be used. Each failure is reported to the user with a fixed
/// English message (not looked up, since the table may be empty) and English is loaded instead.
enum class LanguageLoadFailure {
    None,
    NoSize,     ///< the size is 0 or cannot be found (missing file, directory, special file)
    NoMemory,   ///< no buffer for the file's text
    CannotOpen, ///< the file cannot be opened for reading
};

struct LanguageFailureMessage {
    const char* text;    ///< empty for `None`
    const char* caption; ///< empty for `None`
};

/// The error message box (error icon, OK button, no owner) that reports a failure.
LanguageFailureMessage MessageFor(LanguageLoadFailure failure);

/// Fills `table` from a zone of the built-in text or, when `filePath` is not empty, from that user
/// language file (the zone name is then not used). Entries whose numbers lie outside the table are
/// ignored. A zone name that the built-in text lacks loads nothing and reports nothing. A user file
/// that cannot be used loads "[Zone_English]" from the built-in text and returns the failure, which
/// the caller shows with `MessageFor`. The table is not cleared first.
LanguageLoadFailure LoadLanguageZone(StringTable& table, std::string_view zoneName,
                                     const std::string& filePath = {});

/// Releases every text of `table`, then loads the zone that belongs to `languageCode`; for code 1000
/// the user language file `userLanguageFile` (an empty path counts as a file without size). The
/// code itself is not changed by a fallback to English, so the next start tries the file again.
LanguageLoadFailure ApplyLanguage(LanguageStrings& table, uint16_t languageCode,
                                  const std::string& userLanguageFile);

/// Loads "[Zone_General]" into `table` (once, at start-up).
void LoadGeneralStrings(GeneralStrings& table);

/// Parses the numbered entries of `text` starting at `position` (see the file comment) and hands
/// every entry to `store` as (number as read, text with its escapes replaced, UTF-16). Exposed for
/// the export and the tests; `LoadLanguageZone` is the ordinary entry point.
template <class Store> void ParseLanguageEntries(std::u16string_view text, size_t position, Store&& store);

namespace detail {
/// One step of the entry parser: finds the entry at or after `position`. Returns false at the end
/// of the zone. Otherwise sets `key`, `entryText` (escapes replaced, and stripped when it is the last
/// entry of the text) and `next` (where the following entry starts, or npos after the last).
bool NextLanguageEntry(std::u16string_view text, size_t position, long& key, std::u16string& entryText,
                       size_t& next);
} // namespace detail

template <class Store> void ParseLanguageEntries(std::u16string_view text, size_t position, Store&& store) {
    long key = 0;
    std::u16string entryText;
    size_t next = 0;
    while (position != std::u16string_view::npos &&
           detail::NextLanguageEntry(text, position, key, entryText, next)) {
        store(key, std::move(entryText));
        position = next;
    }
}

/// The whole built-in language text as it is embedded: byte-order mark, CR LF, then the six zones
/// "[Zone_General]", "[Zone_English]", "[Zone_Deutsch]", "[Zone_Francais]", "[Zone_Espanol]",
/// "[Zone_Japanese]", each a header line, a blank line, its entries and a closing blank line. Lines
/// end with CR LF.
std::u16string_view BuiltInLanguageText();

} // namespace mw
