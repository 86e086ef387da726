#pragma once
// Small text helpers shared by every layer: ASCII case rules, number forms, language-text lookup.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mw {

/// ASCII case-insensitive equality (names and keys of patch files).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
char AsciiLower(char c);
std::string AsciiLowerCopy(std::string_view s);

/// A whole number in the C locale's decimal form, whatever the process locale.
std::string FormatLong(int64_t value);

/// trunc(v) as a 64-bit integer, saturated at its range; NaN gives 0.
int64_t TruncInt64(double v);

/// Formats a text that carries one printf-style number conversion (as the language texts do: "%u",
/// "%.00f", "%ld", "%.05g", "%lg"). Safe for any text a language file may hold: the first numeric
/// conversion (d i u o x X f F e E g G a A, with flags, width, precision and length modifiers) is
/// given `value` converted to its type; "%%" gives "%"; every other or later conversion is copied
/// as it stands. Widths and precisions are limited to 100.
std::string FormatNumberText(std::string_view format, double value);

/// Looks up a language text by its string number; the English text is the fallback.
using TextLookup = std::function<std::string(int number, std::string_view english)>;

} // namespace mw
