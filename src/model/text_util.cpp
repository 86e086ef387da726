#include "model/text_util.hpp"

namespace mw {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::string AsciiLowerCopy(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AsciiLower(c);
    return r;
}

std::string FormatLong(std::string_view tmpl, long value) {
    std::string out;
    const size_t at = tmpl.find("%ld");
    if (at == std::string_view::npos) return std::string(tmpl);
    out.append(tmpl.substr(0, at));
    out.append(std::to_string(value));
    out.append(tmpl.substr(at + 3));
    return out;
}

} // namespace mw
