#include "base/text.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

namespace mw {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

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

std::string FormatLong(int64_t value) {
    char buf[32];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, ptr) : std::string("0");
}

int64_t TruncInt64(double v) {
    if (!(v == v)) return 0;
    if (v >= 9.2e18) return std::numeric_limits<int64_t>::max();
    if (v <= -9.2e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

std::string FormatNumberText(std::string_view format, double value) {
    constexpr int kMaxField = 100;
    std::string out;
    out.reserve(format.size() + 16);
    bool used = false;
    const size_t n = format.size();
    size_t i = 0;
    while (i < n) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < n && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        size_t j = i + 1;
        std::string flags;
        while (j < n && std::string_view("-+ #0").find(format[j]) != std::string_view::npos) {
            if (flags.size() < 8) flags += format[j];
            ++j;
        }
        int width = -1;
        while (j < n && format[j] >= '0' && format[j] <= '9') {
            width = std::min(kMaxField, std::max(width, 0) * 10 + (format[j] - '0'));
            ++j;
        }
        int precision = -1;
        if (j < n && format[j] == '.') {
            ++j;
            precision = 0;
            while (j < n && format[j] >= '0' && format[j] <= '9') {
                precision = std::min(kMaxField, precision * 10 + (format[j] - '0'));
                ++j;
            }
        }
        while (j < n && std::string_view("hlLqjzt").find(format[j]) != std::string_view::npos) ++j;
        if (j >= n) { // a conversion cut off by the end of the text
            out.append(format.substr(i));
            break;
        }
        const char conv = format[j];
        const size_t end = j + 1;
        const bool isInteger = std::string_view("diouxX").find(conv) != std::string_view::npos;
        const bool isReal = std::string_view("fFeEgGaA").find(conv) != std::string_view::npos;
        if (used || (!isInteger && !isReal)) {
            out.append(format.substr(i, end - i));
            i = end;
            continue;
        }
        used = true;
        // '#' is defined only for the octal, hexadecimal and real conversions.
        if (conv == 'd' || conv == 'i' || conv == 'u') std::erase(flags, '#');
        std::string conversion = "%" + flags;
        if (width >= 0) conversion += std::to_string(width);
        if (precision >= 0) conversion += "." + std::to_string(precision);
        char buffer[512];
        int written = 0;
        if (isInteger) {
            conversion += "ll";
            conversion += conv;
            const long long v = static_cast<long long>(TruncInt64(value));
            if (conv == 'd' || conv == 'i')
                written = std::snprintf(buffer, sizeof buffer, conversion.c_str(), v);
            else
                written = std::snprintf(buffer, sizeof buffer, conversion.c_str(),
                                        static_cast<unsigned long long>(v));
        } else {
            conversion += conv;
            written = std::snprintf(buffer, sizeof buffer, conversion.c_str(), value);
        }
        if (written > 0) out.append(buffer, std::min<size_t>(size_t(written), sizeof buffer - 1));
        i = end;
    }
    return out;
}

} // namespace mw
