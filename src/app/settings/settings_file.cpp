#include "app/settings/settings_file.hpp"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/file_io.hpp"
#include "base/utf.hpp"

namespace mw {

namespace {

constexpr uint8_t kMagic[16] = {0x7C, 0x55, 0xD3, 0x92, 0x6E, 0x94, 0x45, 0x48,
                                0xA5, 0x51, 0xF5, 0xF1, 0xD0, 0xAF, 0xE4, 0x69};
constexpr uint32_t kVersionMajor = 1;
constexpr uint32_t kVersionMinor = 0;

// The file order of the colour slots (0-based): 1-4, 7-18, then the two drop-down colours 5 and 6.
constexpr int kColourFileOrder[kColourSlotCount] = {0,  1,  2,  3,  6,  7,  8,  9, 10,
                                                    11, 12, 13, 14, 15, 16, 17, 4, 5};

// No settings file is anywhere near this size; reading stops here (a device or a stray huge file).
constexpr size_t kMaxSettingsFileBytes = 8u * 1024 * 1024;

// ---- writing ----

class Writer {
public:
    void Bytes(const uint8_t* data, size_t n) { out_.insert(out_.end(), data, data + n); }
    void U8(uint8_t v) { out_.push_back(v); }
    void U16(uint16_t v) {
        U8(uint8_t(v & 0xFF));
        U8(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(uint8_t((v >> (8 * i)) & 0xFF));
    }
    void I32(int32_t v) { U32(uint32_t(v)); }
    void F64(double v) {
        uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i) U8(uint8_t((bits >> (8 * i)) & 0xFF));
    }
    void String(const std::string& text) {
        std::u16string units = utf::BytesToUtf16(text);
        constexpr size_t kMaxUnits = size_t(kMaxSettingsStringBytes / 2 - 1);
        if (units.size() > kMaxUnits) {
            units.resize(kMaxUnits);
            if (units.back() >= 0xD800 && units.back() <= 0xDBFF) units.pop_back(); // no half pair
        }
        U32(uint32_t(2 * (units.size() + 1)));
        for (char16_t u : units) U16(u);
        U16(0);
    }
    std::vector<uint8_t> Take() { return std::move(out_); }

private:
    std::vector<uint8_t> out_;
};

// ---- reading ----

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool Bytes(uint8_t* out, size_t n) {
        if (bytes_.size() - pos_ < n) {
            pos_ = bytes_.size();
            return false;
        }
        std::memcpy(out, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    bool U8(uint8_t& v) { return Bytes(&v, 1); }
    bool U16(uint16_t& v) {
        uint8_t b[2];
        if (!Bytes(b, 2)) return false;
        v = uint16_t(b[0] | (b[1] << 8));
        return true;
    }
    bool U32(uint32_t& v) {
        uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
        return true;
    }
    bool I32(int32_t& v) {
        uint32_t u = 0;
        if (!U32(u)) return false;
        v = int32_t(u);
        return true;
    }
    bool F64(double& v) {
        uint8_t b[8];
        if (!Bytes(b, 8)) return false;
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= uint64_t(b[i]) << (8 * i);
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    bool Rect(WindowRectangle& r) {
        uint8_t b[16];
        if (!Bytes(b, 16)) return false;
        int32_t v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = int32_t(uint32_t(b[4 * k]) | (uint32_t(b[4 * k + 1]) << 8) |
                           (uint32_t(b[4 * k + 2]) << 16) | (uint32_t(b[4 * k + 3]) << 24));
        r = {v[0], v[1], v[2], v[3]};
        return true;
    }
    // A stored string: its count (a negative one or one above 1,000,000 ends the reading), its text
    // taken up to the first NUL.
    bool String(std::string& text) {
        int32_t count = 0;
        if (!I32(count)) return false;
        if (count < 0 || count > kMaxSettingsStringBytes) {
            pos_ = bytes_.size();
            return false;
        }
        if (bytes_.size() - pos_ < size_t(count)) {
            pos_ = bytes_.size();
            return false;
        }
        std::u16string units;
        for (size_t k = 0; k + 1 < size_t(count); k += 2) {
            const char16_t u = char16_t(bytes_[pos_ + k] | (bytes_[pos_ + k + 1] << 8));
            if (u == 0) break;
            units.push_back(u);
        }
        pos_ += size_t(count);
        text = utf::Utf16ToBytes(units);
        return true;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
};

bool ReadFields(Reader& r, ProgramSettings& s) {
    // Each field is taken whole or not at all; the first field that cannot be read ends the reading.
    if (!r.U8(s.SettingsFlag0) || !r.String(s.SettingsText0) || !r.U16(s.LanguageCode)) return false;
    if (!r.U8(s.ShowTrayIcon) || !r.U8(s.TrayIconOnlyWhenMinimized) ||
        !r.U8(s.HideTaskbarButtonWhenMinimized) || !r.U8(s.MinimizeShortlyAfterStart) ||
        !r.U8(s.MinimizeOnClose))
        return false;
    if (!r.U8(s.AgreementAccepted) || !r.U8(s.PlainStatusColours)) return false;
    if (!r.Rect(s.WindowRect) || !r.U32(s.WindowWasMaximized)) return false;
    if (!r.U8(s.FirstStartDone) || !r.U8(s.MinimizeOnEsc)) return false;
    if (!r.U8(s.TrayQuestionAsked) || !r.U8(s.CloseQuestionAsked) || !r.U8(s.EscQuestionAsked)) return false;
    if (!r.U8(s.CheckForUpdateAtStart) || !r.U8(s.AutoStartSound)) return false;
    if (!r.String(s.UserLanguageFile)) return false;
    if (!r.U8(s.SnapToEdges) || !r.U8(s.WrapMouse) || !r.U8(s.SettingsFlag22)) return false;
    if (!r.U8(s.ShowStatusIndicators)) return false;
    if (!r.I32(s.OutputLatencyMs) || !r.I32(s.InputLatencyMs)) return false;
    if (!r.String(s.WaveFolder) || !r.String(s.ConfigurationPath) || !r.String(s.ConfigurationFolder))
        return false;
    for (int slot : kColourFileOrder)
        if (!r.U32(s.ColourSettings[size_t(slot)])) return false;
    if (!r.F64(s.ControlRate) || !r.F64(s.BlockTime)) return false;
    if (!r.U8(s.FeedbackShowAgain) || !r.U8(s.FeedbackSent) || !r.U8(s.RealTimePriority) ||
        !r.U8(s.NewSliderSigned))
        return false;
    return true;
}

// Values a damaged or edited file may hold that the program cannot use are taken to the nearest value it
// can: the sliders' ranges for the latencies, 0..48000 Hz for the control rate; a rate or block time that
// is not a number at all is the default.
void KeepInRange(ProgramSettings& s) {
    const ProgramSettings defaults;
    s.OutputLatencyMs = std::clamp(s.OutputLatencyMs, 0, 512);
    s.InputLatencyMs = std::clamp(s.InputLatencyMs, 2, 512);
    s.ControlRate =
        std::isnan(s.ControlRate) ? defaults.ControlRate : std::clamp(s.ControlRate, 0.0, 48000.0);
    if (!(s.BlockTime > 0.0 && s.BlockTime < 1e6)) s.BlockTime = defaults.BlockTime;
}

bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// ---- files ----

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::string data;
    // Of a larger file only the start is read: it is a damaged file, and the reader says so.
    const int error = ReadWholeFile(path, kMaxSettingsFileBytes, data);
    if (error != 0 && error != EFBIG) return false;
    bytes.assign(data.begin(), data.end());
    return true;
}

} // namespace

std::vector<uint8_t> SerializeSettings(const ProgramSettings& s) {
    Writer w;
    w.Bytes(kMagic, sizeof kMagic);
    w.String(kSettingsProductName);
    w.U32(kVersionMajor);
    w.U32(kVersionMinor);
    const uint8_t reserved[16] = {};
    w.Bytes(reserved, sizeof reserved);
    w.U8(s.SettingsFlag0);
    w.String(s.SettingsText0);
    w.U16(s.LanguageCode);
    w.U8(s.ShowTrayIcon);
    w.U8(s.TrayIconOnlyWhenMinimized);
    w.U8(s.HideTaskbarButtonWhenMinimized);
    w.U8(s.MinimizeShortlyAfterStart);
    w.U8(s.MinimizeOnClose);
    w.U8(s.AgreementAccepted);
    w.U8(s.PlainStatusColours);
    w.I32(s.WindowRect.left);
    w.I32(s.WindowRect.top);
    w.I32(s.WindowRect.right);
    w.I32(s.WindowRect.bottom);
    w.U32(s.WindowWasMaximized);
    w.U8(s.FirstStartDone);
    w.U8(s.MinimizeOnEsc);
    w.U8(s.TrayQuestionAsked);
    w.U8(s.CloseQuestionAsked);
    w.U8(s.EscQuestionAsked);
    w.U8(s.CheckForUpdateAtStart);
    w.U8(s.AutoStartSound);
    w.String(s.UserLanguageFile);
    w.U8(s.SnapToEdges);
    w.U8(s.WrapMouse);
    w.U8(s.SettingsFlag22);
    w.U8(s.ShowStatusIndicators);
    w.I32(s.OutputLatencyMs);
    w.I32(s.InputLatencyMs);
    w.String(s.WaveFolder);
    w.String(s.ConfigurationPath);
    w.String(s.ConfigurationFolder);
    for (int slot : kColourFileOrder) w.U32(s.ColourSettings[size_t(slot)]);
    w.F64(s.ControlRate);
    w.F64(s.BlockTime);
    w.U8(s.FeedbackShowAgain);
    w.U8(s.FeedbackSent);
    w.U8(s.RealTimePriority);
    w.U8(s.NewSliderSigned);
    return w.Take();
}

SettingsLoadResult ParseSettings(ProgramSettings& settings, const std::vector<uint8_t>& bytes,
                                 bool isDefaultLocation, const VersionQuestion& ask) {
    settings = ProgramSettings{};
    Reader r(bytes);

    uint8_t magic[16];
    if (!r.Bytes(magic, sizeof magic)) return {SettingsLoadOutcome::NotOfThisProgram, true, 193, true};
    if (std::memcmp(magic, kMagic, sizeof kMagic) != 0)
        return {SettingsLoadOutcome::NotOfMurmelwerk, true, 194, true};

    std::string product;
    if (!r.String(product) || !EqualsIgnoreAsciiCase(product, kSettingsProductName))
        return {SettingsLoadOutcome::NotASettingsFile, true, 195, true};

    uint32_t major = 0, minor = 0;
    const bool haveVersion = r.U32(major) && r.U32(minor);
    if ((!haveVersion || major != kVersionMajor || minor != kVersionMinor) && isDefaultLocation) {
        if (!ask || !ask(settings)) return {SettingsLoadOutcome::OtherVersionDeclined, false, 0, true};
    }

    uint8_t reserved[16];
    const bool complete = r.Bytes(reserved, sizeof reserved) && ReadFields(r, settings);
    KeepInRange(settings);
    return {SettingsLoadOutcome::Loaded, false, 0, complete};
}

SettingsLoadResult LoadSettings(ProgramSettings& settings, const std::string& path,
                                const VersionQuestion& ask) {
    const bool isDefaultLocation = path.empty();
    std::vector<uint8_t> bytes;
    if (!ReadFile(isDefaultLocation ? DefaultSettingsPath() : path, bytes)) {
        settings = ProgramSettings{};
        return {SettingsLoadOutcome::NoFile, true, 0, true};
    }
    return ParseSettings(settings, bytes, isDefaultLocation, ask);
}

bool SaveSettings(const ProgramSettings& settings, const std::string& path) {
    std::string target = path;
    if (target.empty()) {
        target = DefaultSettingsPath();
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
    }
    const std::vector<uint8_t> bytes = SerializeSettings(settings);
    return ReplaceFile(target, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) ==
           0;
}

// ---- where the file lives ----

std::string SettingsPathFor(const std::string& executablePath, bool folderWritable, const char* xdgConfigHome,
                            const char* home) {
    namespace fs = std::filesystem;
    const fs::path exe(executablePath);
    const std::string name = exe.filename().string();
    const size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0 && dot + 1 < name.size();
    if (!executablePath.empty() && folderWritable && hasExtension)
        return (exe.parent_path() / (name.substr(0, dot + 1) + "MWS")).string();

    std::string stem = hasExtension ? name.substr(0, dot) : name;
    if (stem.empty()) stem = "murmelwerk";
    fs::path base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0')
        base = fs::path(home) / ".config";
    else
        base = ".config";
    return (base / "murmelwerk" / (stem + ".MWS")).string();
}

std::string ExecutablePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n <= 0) return {};
    return std::string(buffer, size_t(n));
}

std::string DefaultSettingsPath() {
    const std::string exe = ExecutablePath();
    const std::string folder = std::filesystem::path(exe).parent_path().string();
    const bool writable = !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = ::getpwuid(::getuid());
        if (user != nullptr) home = user->pw_dir;
    }
    return SettingsPathFor(exe, writable, std::getenv("XDG_CONFIG_HOME"), home);
}

} // namespace mw
