#include "model/config_values.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/text.hpp"

namespace mw::config {
namespace {

constexpr char16_t kCR = u'\r';
constexpr char16_t kLF = u'\n';

char LowerAscii(char16_t c) {
    if (c >= u'A' && c <= u'Z') return char(c - u'A' + 'a');
    return char(c);
}

bool IsBlankOrTab(char16_t c) {
    return c == u' ' || c == u'\t';
}

// White space as scanf skips it in the C locale.
bool IsCSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

std::u16string_view Strip(std::u16string_view v) {
    while (!v.empty() && IsBlankOrTab(v.front())) v.remove_prefix(1);
    while (!v.empty() && IsBlankOrTab(v.back())) v.remove_suffix(1);
    return v;
}

// The value that starts right after the "=" at position eq.
std::u16string_view ValueAfter(std::u16string_view text, size_t eq) {
    size_t end = eq + 1;
    while (end < text.size() && text[end] != kCR && text[end] != kLF) ++end;
    return Strip(text.substr(eq + 1, end - eq - 1));
}

// Calls f(lineStart, equalsPosition) for every line start (the text's start or after CR LF) whose
// line holds "=" within maxKeyLength units and before any CR or LF; stops when f returns true.
// Linear in the text length.
template <class F> void ForEachKeyLine(std::u16string_view text, size_t maxKeyLength, F&& f) {
    const size_t n = text.size();
    size_t p = 0;
    while (p <= n) {
        // Look for the "=" that ends a key starting at p.
        for (size_t q = p; q < n && q - p <= maxKeyLength; ++q) {
            const char16_t c = text[q];
            if (c == u'=') {
                if (f(p, q)) return;
                break;
            }
            if (c == kCR || c == kLF) break;
        }
        // Next line start: after the next CR LF pair.
        size_t q = p;
        while (q + 1 < n && !(text[q] == kCR && text[q + 1] == kLF)) ++q;
        if (q + 1 >= n) return;
        p = q + 2;
    }
}

bool KeyMatches(std::u16string_view candidate, std::string_view key) {
    if (candidate.size() != key.size()) return false;
    for (size_t i = 0; i < key.size(); ++i) {
        const char16_t c = candidate[i];
        if (c > 0x7F || LowerAscii(c) != LowerAscii(char16_t(uint8_t(key[i])))) return false;
    }
    return true;
}

// The ASCII characters of a value from its start up to the first unit that is not ASCII.
std::string AsciiPrefix(std::u16string_view v) {
    std::string s;
    s.reserve(std::min<size_t>(v.size(), 64));
    for (char16_t c : v) {
        if (c == 0 || c > 0x7F) break;
        s.push_back(char(c));
    }
    return s;
}

std::u16string_view SkipCSpace(std::u16string_view v) {
    while (!v.empty() && IsCSpace(v.front())) v.remove_prefix(1);
    return v;
}

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return c - u'A' + 10;
}

} // namespace

// ---------------------------------------------------------------- key lookup

std::u16string_view GetValue(std::u16string_view sectionText, std::string_view key) {
    std::u16string_view result;
    ForEachKeyLine(sectionText, key.size(), [&](size_t p, size_t eq) {
        if (!KeyMatches(sectionText.substr(p, eq - p), key)) return false;
        result = ValueAfter(sectionText, eq);
        return true;
    });
    return result;
}

double GetNumber(std::u16string_view sectionText, std::string_view key) {
    return ReadReal(GetValue(sectionText, key)).value_or(0.0);
}

KeySet::KeySet(const std::vector<std::string>& keys) {
    for (const std::string& k : keys) Add(k);
}

int KeySet::Add(std::string_view key) {
    std::string lower(key);
    for (char& c : lower) c = LowerAscii(char16_t(uint8_t(c)));
    const auto [it, inserted] = index_.try_emplace(std::move(lower), int(count_));
    if (inserted) {
        ++count_;
        maxLength_ = std::max(maxLength_, key.size());
    }
    return it->second;
}

int KeySet::Find(std::u16string_view candidate) const {
    if (candidate.size() > maxLength_) return -1;
    char buf[256];
    if (candidate.size() > sizeof buf) return -1;
    for (size_t i = 0; i < candidate.size(); ++i) {
        if (candidate[i] > 0x7F) return -1;
        buf[i] = LowerAscii(candidate[i]);
    }
    const auto it = index_.find(std::string_view(buf, candidate.size()));
    return it == index_.end() ? -1 : it->second;
}

int KeySet::Find(std::string_view key) const {
    std::string lower(key);
    for (char& c : lower) c = LowerAscii(char16_t(uint8_t(c)));
    const auto it = index_.find(lower);
    return it == index_.end() ? -1 : it->second;
}

SectionValues::SectionValues(std::u16string_view sectionText, const KeySet& keys)
    : text_(sectionText), keys_(keys), values_(keys.Size()), found_(keys.Size(), false) {
    size_t missing = keys.Size();
    if (missing == 0) return;
    ForEachKeyLine(sectionText, keys.MaxLength(), [&](size_t p, size_t eq) {
        const int i = keys.Find(sectionText.substr(p, eq - p));
        if (i >= 0 && !found_[i]) {
            found_[i] = true;
            values_[i] = ValueAfter(sectionText, eq);
            if (--missing == 0) return true;
        }
        return false;
    });
}

std::u16string_view SectionValues::Get(std::string_view key) const {
    const int i = keys_.Find(key);
    return i >= 0 ? Get(i) : GetValue(text_, key);
}

// ---------------------------------------------------------------- numbers

std::optional<double> ReadReal(std::u16string_view value) {
    const std::string s = AsciiPrefix(SkipCSpace(value));
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && (*first == '-' || *first == '+')) return std::nullopt;
    }
    double v = 0;
    const auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || ptr == first || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int64_t> ReadLong(std::u16string_view value) {
    const std::string s = AsciiPrefix(SkipCSpace(value));
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return std::nullopt;
    }
    int64_t v = 0;
    const auto [ptr, ec] = std::from_chars(first, last, v, 10);
    if (ec != std::errc() || ptr == first) return std::nullopt;
    return v;
}

std::optional<int32_t> ReadInt32(std::u16string_view value) {
    const auto v = ReadLong(value);
    if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return int32_t(*v);
}

std::string FormatReal(double value) {
    char buf[64];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    if (ec != std::errc()) return "0";
    return std::string(buf, ptr);
}

int32_t TruncateSubType(double number) {
    if (!std::isfinite(number) || number <= -2147483649.0 || number >= 2147483648.0) return -1;
    return int32_t(std::trunc(number));
}

// ---------------------------------------------------------------- other value forms

bool ReadBool(std::u16string_view value) {
    return value == u"1" || EqualsIgnoreCase(value, "TRUE");
}

std::u16string_view LeadingNumberRun(std::u16string_view value) {
    size_t n = 0;
    while (n < value.size() && ((value[n] >= u'0' && value[n] <= u'9') || value[n] == u'-')) ++n;
    return value.substr(0, n);
}

std::string FormatOutputDevice(int32_t id) {
    if (id < 99) return FormatLong(id) + " (L+R)";
    if (id >= 199) return FormatLong(int64_t(id) - 200) + " (R)";
    return FormatLong(int64_t(id) - 100) + " (L)";
}

int32_t ReadOutputDevice(std::u16string_view value) {
    constexpr int32_t kNone = -555;
    const auto n = ReadLong(LeadingNumberRun(value));
    if (!n) return kNone;
    std::string upper;
    upper.reserve(value.size());
    for (char16_t c : value)
        upper.push_back(c >= u'a' && c <= u'z' ? char(c - u'a' + 'A') : c > 0x7F ? '?' : char(c));
    int64_t id = 0;
    if (upper.find("(L+R)") != std::string::npos)
        id = *n;
    else if (upper.find("(L)") != std::string::npos)
        id = *n + 100;
    else if (upper.find("(R)") != std::string::npos)
        id = *n + 200;
    else
        return kNone;
    if (id < std::numeric_limits<int32_t>::min() || id > std::numeric_limits<int32_t>::max()) return kNone;
    return int32_t(id);
}

std::u16string EscapeSequence(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        switch (c) {
        case kCR:
            if (i + 1 < text.size() && text[i + 1] == kLF) ++i;
            out += u"\\n";
            break;
        case kLF:
            out += u"\\n";
            break;
        case u' ':
            out += u"%20";
            break;
        case u'\t':
            out += u"%09";
            break;
        case u'%':
            out += u"%25";
            break;
        case u'\\':
            out += u"%5C";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::u16string UnescapeSequence(std::u16string_view value) {
    std::u16string lines;
    lines.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size() && value[i + 1] == u'n') {
            lines += u"\r\n";
            ++i;
        } else {
            lines.push_back(value[i]);
        }
    }
    std::u16string out;
    out.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const char16_t c = lines[i];
        if (c == u'%' && i + 1 < lines.size() && lines[i + 1] == u'%') {
            out.push_back(u'%');
            ++i;
        } else if (c == u'%' && i + 2 < lines.size() && IsHexDigit(lines[i + 1]) &&
                   IsHexDigit(lines[i + 2])) {
            out.push_back(char16_t(HexValue(lines[i + 1]) * 16 + HexValue(lines[i + 2])));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::u16string Widen(std::string_view ascii) {
    std::u16string out;
    AppendAscii(out, ascii);
    return out;
}

void AppendAscii(std::u16string& out, std::string_view ascii) {
    for (char c : ascii) out.push_back(char16_t(uint8_t(c)));
}

bool EqualsIgnoreCase(std::u16string_view value, std::string_view text) {
    return KeyMatches(value, text);
}

} // namespace mw::config
