// libFuzzer target: the user language file reader on any byte sequence (read as UTF-16LE up to the
// first NUL unit). Besides surviving every input it checks that every text it stores is valid UTF-8,
// that a file with content never falls back to English, and that choosing the file as the language
// (code 1000) gives the same table.
#include <cstddef>
#include <cstdint>

#include "base/utf.hpp"
#include "fuzz_support.hpp"
#include "i18n/language_strings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static mw::fuzz::MemoryFile file;
    const std::string& path = file.Hold(data, size);

    mw::LanguageStrings table;
    const mw::LanguageLoadFailure failure = mw::LoadLanguageZone(table, mw::kZoneEnglish, path);
    if (failure != (size == 0 ? mw::LanguageLoadFailure::NoSize : mw::LanguageLoadFailure::None))
        __builtin_trap();
    for (int n = 0; n < table.SlotCount(); ++n) {
        const std::string& text = table.Text(n);
        if (mw::utf::Utf16ToUtf8(mw::utf::Utf8ToUtf16(text)) != text) __builtin_trap();
    }

    mw::LanguageStrings chosen;
    chosen.Set(7, "left over from another language");
    if (mw::ApplyLanguage(chosen, mw::kLanguageUserFile, path) != failure) __builtin_trap();
    for (int n = 0; n < table.SlotCount(); ++n)
        if (chosen.IsFilled(n) != table.IsFilled(n) || chosen.Text(n) != table.Text(n)) __builtin_trap();
    return 0;
}
