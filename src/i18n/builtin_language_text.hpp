#pragma once
// The zones of the built-in language text, kept as UTF-8 source text with LF line ends (one file
// per zone, builtin_text_*.cpp). BuiltInLanguageText() joins them into the embedded UTF-16LE text
// with CR LF line ends. Each zone is a sequence of pieces whose concatenation is the zone: its
// header line, a blank line, the entries "[number]" TAB text, and a closing blank line. Entries whose
// text ends in a blank stand in pieces of their own, as ordinary string literals, so that the blank
// stays visible and survives editors that trim trailing whitespace.

#include <span>
#include <string_view>

namespace mw::builtin_text {

std::span<const std::string_view> GeneralZone();
std::span<const std::string_view> EnglishZone();
std::span<const std::string_view> DeutschZone();
std::span<const std::string_view> FrancaisZone();
std::span<const std::string_view> EspanolZone();
std::span<const std::string_view> JapaneseZone();

} // namespace mw::builtin_text
