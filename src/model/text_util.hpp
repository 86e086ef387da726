#pragma once
// Small text helpers shared by the model and the file formats.

#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

/// ASCII case-insensitive equality (names and keys of patch files).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
char AsciiLower(char c);
std::string AsciiLowerCopy(std::string_view s);

/// printf-style formatting of a template holding one "%ld" (default names, output labels).
std::string FormatLong(std::string_view tmpl, long value);

} // namespace mw
