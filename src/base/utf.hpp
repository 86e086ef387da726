#pragma once
// Conversions between the UTF-8 text the program keeps internally and the UTF-16LE text of the
// language files and the settings file.

#include <string>
#include <string_view>

namespace mw::utf {

/// UTF-8 to UTF-16. Each byte that is not part of a well-formed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

/// UTF-16 to UTF-8. Each unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

/// Lossless variants for file paths and other stored texts that may hold any bytes: a byte b that
/// is not part of a well-formed UTF-8 sequence travels as the lone surrogate U+DC00 + b (0x80..0xFF)
/// and comes back as that byte. Well-formed text converts exactly as above.
std::u16string BytesToUtf16(std::string_view bytes);
std::string Utf16ToBytes(std::u16string_view text);

} // namespace mw::utf
