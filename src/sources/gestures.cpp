#include "sources/gestures.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

namespace mw {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStepMs = 10.0;
constexpr double kMaxCoordinate = 1e7;
constexpr long kMaxNotchesPerLine = 10000;
constexpr size_t kMaxCsvBytes = size_t(64) << 20;

constexpr std::array<std::string_view, 6> kNames{"still", "circle", "figure8", "zigzag", "scribble", "wheel"};

struct Frame {
    double left, top, width, height, cx, cy;
};

Frame FrameOf(const ScreenRect& s) {
    const double w = std::max(1, s.Width());
    const double h = std::max(1, s.Height());
    // The centre pixel of the rectangle (right and bottom lie one past the last pixel).
    return {double(s.left),
            double(s.top),
            w,
            h,
            s.left + std::floor((w - 1) / 2),
            s.top + std::floor((h - 1) / 2)};
}

/// Samples f(t) every 10 ms from 0 to the duration (the last sample exactly at the duration).
template <class F> void Sample(double durationMs, std::vector<ScriptPoint>& out, F&& f) {
    const auto steps = int64_t(std::ceil(durationMs / kStepMs));
    out.reserve(size_t(steps) + 1);
    for (int64_t k = 0; k <= steps; ++k) {
        const double t = std::min(durationMs, double(k) * kStepMs);
        double x = 0.0, y = 0.0;
        f(t, x, y);
        out.push_back({t, x, y, 0});
    }
}

/// Uniform real in [0, 1) from the generator's raw output (the same on every platform).
double Uniform(std::mt19937& gen) {
    return double(gen() >> 8) * (1.0 / 16777216.0);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool ParseReal(std::string_view s, double& v) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

bool ParseInteger(std::string_view s, long& v) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.push_back(
            line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

std::string Shown(std::string_view field) {
    field = Trim(field);
    std::string s(field.substr(0, 40));
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    if (field.size() > 40) s += "...";
    return "\"" + s + "\"";
}

} // namespace

std::span<const std::string_view> BuiltInGestureNames() {
    return kNames;
}

bool IsBuiltInGesture(std::string_view name) {
    return std::find(kNames.begin(), kNames.end(), name) != kNames.end();
}

bool MakeBuiltInGesture(std::string_view name, const ScreenRect& screen, double durationMs, uint32_t seed,
                        std::vector<ScriptPoint>& out, std::string& error) {
    out.clear();
    if (!IsBuiltInGesture(name)) {
        error = "unknown gesture \"" + std::string(name) +
                "\"; built-in gestures are still, circle, figure8, "
                "zigzag, scribble and wheel";
        return false;
    }
    if (!(durationMs >= 0.0 && durationMs <= kMaxGestureMs)) {
        error = "gesture duration must be between 0 and 3600000 ms";
        return false;
    }
    const Frame f = FrameOf(screen);

    if (name == "still") {
        out.push_back({0.0, f.cx, f.cy, 0});
        if (durationMs > 0.0) out.push_back({durationMs, f.cx, f.cy, 0});
    } else if (name == "circle") {
        const double r = 0.35 * std::min(f.width, f.height);
        Sample(durationMs, out, [&](double t, double& x, double& y) {
            const double a = 2.0 * kPi * t / 2000.0;
            x = f.cx + r * std::cos(a);
            y = f.cy + r * std::sin(a);
        });
    } else if (name == "figure8") {
        const double ax = 0.35 * f.width, ay = 0.25 * f.height;
        Sample(durationMs, out, [&](double t, double& x, double& y) {
            const double a = 2.0 * kPi * t / 3000.0;
            x = f.cx + ax * std::sin(a);
            y = f.cy + ay * std::sin(2.0 * a);
        });
    } else if (name == "zigzag") {
        // Corners every 500 ms; the rows go down from 20 % to 80 % of the height and back up.
        const double x0 = f.left + 0.1 * f.width, x1 = f.left + 0.9 * f.width;
        const double rowStep = 0.1 * f.height;
        for (int64_t k = 0;; ++k) {
            const double t = std::min(durationMs, double(k) * 500.0);
            const int64_t row = k % 12 < 7 ? k % 12 : 12 - k % 12; // 0..6..1
            out.push_back({t, k % 2 == 0 ? x0 : x1, f.top + 0.2 * f.height + double(row) * rowStep, 0});
            if (t >= durationMs) break;
        }
    } else if (name == "scribble") {
        std::mt19937 gen(seed);
        const double minX = f.left + 0.05 * f.width, maxX = f.left + 0.95 * f.width;
        const double minY = f.top + 0.05 * f.height, maxY = f.top + 0.95 * f.height;
        double x = f.cx, y = f.cy, vx = 0.0, vy = 0.0;
        Sample(durationMs, out, [&](double t, double& ox, double& oy) {
            if (t > 0.0) {
                vx = std::clamp(vx * 0.95 + (Uniform(gen) - 0.5) * 6.0, -40.0, 40.0);
                vy = std::clamp(vy * 0.95 + (Uniform(gen) - 0.5) * 6.0, -40.0, 40.0);
                x += vx;
                y += vy;
                if (x < minX) x = minX, vx = -vx;
                if (x > maxX) x = maxX, vx = -vx;
                if (y < minY) y = minY, vy = -vy;
                if (y > maxY) y = maxY, vy = -vy;
            }
            ox = x;
            oy = y;
        });
    } else { // wheel
        out.push_back({0.0, f.cx, f.cy, 0});
        const double half = durationMs / 2.0;
        for (int64_t k = 1; double(k) * 100.0 <= durationMs; ++k) {
            const double t = double(k) * 100.0;
            out.push_back({t, f.cx, f.cy, t <= half ? 1 : -1});
        }
        if (out.back().tMs < durationMs) out.push_back({durationMs, f.cx, f.cy, 0});
    }
    error.clear();
    return true;
}

namespace {

bool ParseCsvPoints(std::string_view text, std::vector<ScriptPoint>& out, std::string& error) {
    if (text.size() > kMaxCsvBytes) {
        error = "gesture CSV is larger than 64 MiB";
        return false;
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    size_t lineNo = 0;
    bool sawContent = false;
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t eol = text.find('\n', pos);
        const std::string_view raw =
            text.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
        pos = eol == std::string_view::npos ? text.size() + 1 : eol + 1;
        ++lineNo;
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        const bool first = !sawContent;
        sawContent = true;
        const auto fields = SplitFields(line);
        ScriptPoint p;
        double t = 0.0;
        if (first &&
            std::none_of(fields.begin(), fields.end(), [&](std::string_view fd) { return ParseReal(fd, t); }))
            continue; // a header line: no field is a number
        const std::string where = "gesture CSV line " + std::to_string(lineNo) + ": ";
        if (fields.size() < 3 || fields.size() > 4) {
            error = where + "expected t_ms,x,y[,wheel_notches] but found " + std::to_string(fields.size()) +
                    (fields.size() == 1 ? " field" : " fields");
            return false;
        }
        if (!ParseReal(fields[0], p.tMs)) {
            error = where + "t_ms " + Shown(fields[0]) + " is not a number";
            return false;
        }
        if (p.tMs < 0.0 || p.tMs > kMaxGestureMs) {
            error = where + "t_ms " + Shown(fields[0]) + " is outside 0..3600000";
            return false;
        }
        if (!out.empty() && p.tMs < out.back().tMs) {
            error = where + "t_ms " + Shown(fields[0]) + " is earlier than the line before";
            return false;
        }
        if (!ParseReal(fields[1], p.x) || std::fabs(p.x) > kMaxCoordinate) {
            error = where + "x " + Shown(fields[1]) + " is not a pixel coordinate";
            return false;
        }
        if (!ParseReal(fields[2], p.y) || std::fabs(p.y) > kMaxCoordinate) {
            error = where + "y " + Shown(fields[2]) + " is not a pixel coordinate";
            return false;
        }
        if (fields.size() == 4) {
            long notches = 0;
            if (!ParseInteger(fields[3], notches) || notches < -kMaxNotchesPerLine ||
                notches > kMaxNotchesPerLine) {
                error = where + "wheel_notches " + Shown(fields[3]) +
                        " is not a whole number of notches (-10000..10000)";
                return false;
            }
            p.wheelNotches = int(notches);
        }
        out.push_back(p);
    }
    if (out.empty()) {
        error = "gesture CSV holds no points (expected lines t_ms,x,y[,wheel_notches])";
        return false;
    }
    error.clear();
    return true;
}

} // namespace

bool ParseGestureCsv(std::string_view text, std::vector<ScriptPoint>& out, std::string& error) {
    out.clear();
    if (ParseCsvPoints(text, out, error)) return true;
    out.clear(); // nothing half-read
    return false;
}

bool LoadGestureCsv(const std::string& path, std::vector<ScriptPoint>& out, std::string& error) {
    out.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open gesture file \"" + path + "\"";
        return false;
    }
    std::string text;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        text.append(buffer, size_t(file.gcount()));
        if (text.size() > kMaxCsvBytes) {
            error = "gesture file \"" + path + "\" is larger than 64 MiB";
            return false;
        }
    }
    if (file.bad()) {
        error = "cannot read gesture file \"" + path + "\"";
        return false;
    }
    if (!ParseGestureCsv(text, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool MakeGesture(std::string_view nameOrPath, const ScreenRect& screen, double durationMs, uint32_t seed,
                 std::vector<ScriptPoint>& out, std::string& error) {
    if (IsBuiltInGesture(nameOrPath))
        return MakeBuiltInGesture(nameOrPath, screen, durationMs, seed, out, error);
    return LoadGestureCsv(std::string(nameOrPath), out, error);
}

} // namespace mw
