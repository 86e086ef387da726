// libFuzzer target: the patch check and the --convert conversion on any byte sequence. Besides surviving
// every input it checks that every finding names a line of the file, and that converting is idempotent:
// the converted text, converted again, stays as it is.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/patch_check.hpp"
#include "patch/config_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = mw::FromFileBytes(bytes);
    int lines = 1;
    for (char16_t c : text) lines += c == u'\n' ? 1 : 0;
    for (const mw::cli::Finding& f : mw::cli::CheckPatchBytes(bytes))
        if (f.line < 1 || f.line > lines || f.message.empty()) __builtin_trap();

    std::string what;
    const std::u16string converted = mw::cli::ConvertedPatchText(bytes, what);
    std::u16string withMark = converted;
    if (withMark.empty() || withMark.front() != u'\xFEFF') withMark.insert(withMark.begin(), u'\xFEFF');
    if (mw::cli::ConvertedPatchText(mw::ToFileBytes(withMark), what) != withMark) __builtin_trap();
    return 0;
}
