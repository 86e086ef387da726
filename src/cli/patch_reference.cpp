#include "cli/patch_reference.hpp"

#include <algorithm>
#include <array>
#include <sstream>

#include "base/text.hpp"
#include "model/config_values.hpp"
#include "model/source_id.hpp"

namespace mw::cli {
namespace {

using config::FormatReal;

// What each mouse measure is, in measure order; each value is written every 10 ms by the sampler and
// smoothed by the engine (1/480 of the way per sample) before a link reads it.
constexpr std::array<std::string_view, kMeasureCount> kMeasureMeanings{
    "direction of travel: (angle - 90 degrees) x 1000/180 degrees, angle 0 moving right, 90 down; "
    "-1500..+500",
    "turning of the direction, smoothed: 400/9 per degree per 10 ms, counter-clockwise positive",
    "change of Turn Inertia per 10 ms, smoothed: 2000/3 per degree",
    "speed, smoothed: 5 per pixel moved per 10 ms; 0 and up",
    "change of Speed per 10 ms, smoothed: 200 per pixel per 10 ms; signed",
    "cursor x: 2000 x / screen width - 1000; -1000 (left) .. +1000 (right)",
    "cursor y: 2000 y / screen height - 1000; -1000 (top) .. +1000 (bottom)",
    "x travel per 10 ms, smoothed: 10 per pixel; positive to the right",
    "y travel per 10 ms, smoothed: 10 per pixel; positive downwards",
    "change of Horizontal Velocity per 10 ms, smoothed: 200 per pixel; signed",
    "change of Vertical Velocity per 10 ms, smoothed: 200 per pixel; signed",
    "wheel position: 80 per notch (towards the user up), wrapping within -1000..+1000",
    "wheel movement, smoothed: 800 per notch per 10 ms; signed",
    "change of Scroll Velocity per 10 ms, smoothed; signed",
    "speed without smoothing: 5 per pixel moved in the last 10 ms; 0 and up",
    "how rightwards the cursor moves: 0 (moving left) .. 1000 (moving right)",
    "how rightwards the cursor moves: -1000 (moving left) .. +1000 (moving right)",
    "how upwards the cursor moves: 0 (moving down) .. 1000 (moving up)",
    "how upwards the cursor moves: -1000 (moving down) .. +1000 (moving up)",
};

std::string UnitText(ParamUnit unit) {
    switch (unit) {
    case ParamUnit::Number:
        return "";
    case ParamUnit::ControlValue:
        return "control value (0..1000 scale)";
    case ParamUnit::Percent:
        return "percent";
    case ParamUnit::Ratio:
        return "ratio (1 is the whole)";
    case ParamUnit::Hertz:
        return "Hz";
    case ParamUnit::Milliseconds:
        return "ms";
    case ParamUnit::Semitones:
        return "semitones";
    case ParamUnit::Cents:
        return "cents";
    case ParamUnit::BeatsPerMinute:
        return "beats per minute";
    case ParamUnit::Velocity:
        return "velocity (0..127)";
    case ParamUnit::Radians:
        return "radians";
    case ParamUnit::AudioSignal:
        return "audio signal";
    case ParamUnit::DeviceNumber:
        return "device number";
    }
    return "";
}

// The unit of a stored value whose number the kind works with is value x factor.
std::string ScaledUnit(ParamUnit unit, double factor) {
    std::string u = UnitText(unit);
    if (u.empty() || factor == 1.0) return u;
    return u + ", value x " + FormatReal(factor);
}

// A slider stores position / factor: the field runs lower/factor .. upper/factor.
std::string SliderText(const SliderRange& s) {
    if (!s.Exists()) return "";
    return FormatReal(s.lower / s.factor) + " .. " + FormatReal(s.upper / s.factor);
}

std::string SourceDefault(SourceId id) {
    return id == kManualSource ? std::string(kManualName) : std::string("(empty: nothing)");
}

constexpr std::string_view kLinkSources =
    "-[Manual]-, a mouse measure, or a module's name (its output in the SubType key)";

std::string InputSources(const InputDesc& in) {
    return in.unit == ParamUnit::AudioSignal
               ? "an audio module's name (its output in the SubType key)"
               : "a mouse measure or a module's name (its output in the SubType key)";
}

std::string EnumTexts(const EnumDesc& e) {
    std::string s;
    for (size_t i = 0; i < e.table.size(); ++i)
        s += (i ? ", " : "") + std::string(e.table[i]) + " (" + std::to_string(i) + ")";
    return s;
}

KeyRow RowFor(const KindSchema& s, const KeyDesc& k, ModuleKind kind) {
    KeyRow r{std::string(k.key), "", DefaultText(kind, k), "", "", ""};
    switch (k.role) {
    case KeyRole::LinkSource:
        r.type = "source";
        r.sources = std::string(kLinkSources);
        break;
    case KeyRole::InputSource:
        r.type = "source";
        for (const InputDesc& in : s.inputs)
            if (in.field == k.field) r.sources = InputSources(in);
        break;
    case KeyRole::LinkSubType:
    case KeyRole::InputSubType:
        r.type = "SubType";
        r.range = "the output number of the named module (0 is the first)";
        break;
    case KeyRole::LinkSensitivity:
        r.type = "real";
        r.unit = "percent";
        r.range = SliderText(s.links[k.field].sensitivity);
        break;
    case KeyRole::LinkValue: {
        const LinkDesc& l = s.links[k.field];
        r.type = "real";
        r.unit = ScaledUnit(l.unit, l.scale.manual);
        r.range = SliderText(l.slider);
        if (l.longSlider.Exists()) r.range += " (long mode: " + SliderText(l.longSlider) + ")";
        break;
    }
    case KeyRole::Real: {
        const RealDesc& d = s.reals[k.field];
        r.type = "real";
        r.unit = UnitText(d.unit);
        r.range = SliderText(d.slider);
        break;
    }
    case KeyRole::Integer:
        r.type = "integer";
        r.unit = UnitText(s.ints[k.field].unit);
        r.range = "-555: none; -1: the default device; 0 and up: a device";
        break;
    case KeyRole::Bool:
        r.type = "boolean";
        r.range = "1 or TRUE; anything else (or absent) is false";
        break;
    case KeyRole::Text:
        r.type = "text";
        break;
    case KeyRole::Sequence:
        r.type = "text (escaped: \\n, %20, %09)";
        break;
    case KeyRole::Enum:
        r.type = "enumeration";
        r.range = EnumTexts(s.enums[k.field]);
        break;
    case KeyRole::Device:
        r.type = "output device";
        r.range = "N (L+R), N (L) or N (R) with N -1..8 (-1: the default device); -555 (L+R): none; "
                  "without a channel mark: none";
        break;
    case KeyRole::Controllers:
        r.key = "Controller1..Controller128";
        r.type = "integer";
        r.range = "the MIDI controller number of slider n; negative: the slider is signed; absent or "
                  "empty: no slider";
        break;
    }
    return r;
}

size_t Distance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            const bool same = AsciiLower(a[i - 1]) == AsciiLower(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::string Cell(std::string text) {
    for (size_t at = 0; (at = text.find('|', at)) != std::string::npos; at += 2) text.replace(at, 1, "\\|");
    return text;
}

constexpr std::string_view kFileRules = R"(# The patch file format

This reference is written by `murmelwerk-render --patch-format-reference`; the build checks that this copy
matches the program (`ctest -L Docs`).

A patch file (extension `.mwc`) holds one section per module. `murmelwerk-render PATCH.mwc --check` reads a
file as the program does and reports, line by line, everything the reader skips or reads otherwise than
it looks.

## Encoding and lines

- The text is UTF-16LE and starts with the byte-order mark FF FE. A file saved as UTF-8 (or any 8-bit
  text) is not read as text: the reader finds no section in it.
- Lines end with CR LF. Keys are found only at the start of a line that follows CR LF, so in a file with
  LF-only line ends every module keeps its defaults.
- `murmelwerk-render IN.mwc --convert --save-as OUT.mwc` re-encodes a UTF-8, UTF-16BE or LF-only file and
  saves it as the program writes patches. Without `--convert` the reader keeps its rules.
- The first line, `## Murmelwerk Configuration (MWC) ##` (in the language of the program that saved it),
  is ignored when reading.

## Sections

- A section starts at a `[` at the very start of a line and runs up to the next such `[`. Its keyword is
  the first word after the brackets, compared ignoring letter case; text after the `]` is ignored.
- A section whose keyword is no kind's is skipped. The kinds and their keywords: `--list-kinds`.
- The writer emits the modules in kind order (the numbers of `--list-kinds`), and within a kind in the
  order they were made. A patch holds at most 128 module outputs and 128 sinks; a section that finds no
  free slot makes no module.

## Keys

- A key line is `Key=Value` with nothing between the key and `=`; blanks and TABs around the value are
  removed. Keys are compared ignoring letter case; the first line of a key wins; an unknown key is
  ignored.
- Every section starts with `Name` (the module's name) and `Position` (`x,y`, the centre of its window).
- Numbers are read like C's `%lf` and `%ld` (a leading number is taken, `12abc` reads as 12); an absent
  or unreadable number keeps the default.
- Booleans (keys beginning with `Do`) are true for `1` or `TRUE` (any letter case) and false for anything
  else, also when the key is absent.
- Enumerations take their text (letter case ignored) or their index.

## Sources

- A source key names where a parameter's signal comes from: `-[Manual]-` (the value key holds the number),
  one of the 19 mouse measures below, or another module by its name, with the module's output number in
  the key of the same name plus `SubType` (0 for the first output). Names are compared ignoring letter
  case; an empty name or a name that matches nothing reads nothing.
- Module names need not be unique; a source name that several modules share goes to the one in the
  lowest slot (usually the one made first).
- A link of four keys `PControl`, `PControlSubType`, `PControlSensitivity` (percent, default 100) and
  `PValue` controls the parameter P: manual, the number is the Value; from a source, the source's signal
  scaled by the Sensitivity.

## Devices

- `OutputDeviceID` routes a module's sound: `-1 (L+R)` is the default device with both channels,
  `N (L+R)`, `N (L)` and `N (R)` device N (0..8) on both, the left or the right channel, and
  `-555 (L+R)` no output. A value without a channel mark, `-1` for example, means no output; so does an
  absent key.
- `InputDeviceID` is the number of a MIDI input device (MIDI kinds; -555: none) or of an audio input
  device (`Module_AudioInput`; -1: the default device).
)";

} // namespace

std::string DefaultText(ModuleKind kind, const KeyDesc& k) {
    const KindSchema& s = Schema(kind);
    switch (k.role) {
    case KeyRole::LinkSource:
        return SourceDefault(s.links[k.field].defaultSource);
    case KeyRole::InputSource:
        return SourceDefault(kNoSource);
    case KeyRole::LinkSubType:
    case KeyRole::InputSubType:
        return "0";
    case KeyRole::LinkSensitivity:
        return "100";
    case KeyRole::LinkValue:
        return FormatReal(s.links[k.field].defaultValue);
    case KeyRole::Real:
        return FormatReal(s.reals[k.field].defaultValue);
    case KeyRole::Integer:
        return FormatLong(s.ints[k.field].defaultValue);
    case KeyRole::Bool:
        return s.bools[k.field].defaultValue ? "1" : "0";
    case KeyRole::Text:
    case KeyRole::Sequence:
        return "(empty)";
    case KeyRole::Enum: {
        const EnumDesc& e = s.enums[k.field];
        return e.defaultValue >= 0 && size_t(e.defaultValue) < e.table.size()
                   ? std::string(e.table[size_t(e.defaultValue)])
                   : "(empty)";
    }
    case KeyRole::Device:
        return config::FormatOutputDevice(s.devices[k.field].defaultValue);
    case KeyRole::Controllers:
        return "(none)";
    }
    return "";
}

std::vector<KeyRow> KeyRows(ModuleKind kind) {
    const KindSchema& s = Schema(kind);
    std::vector<KeyRow> rows{{"Name", "text", "the kind's name and a number", "", "", ""},
                             {"Position", "x,y", "(any)", "pixels", "window centre in the main window", ""}};
    for (const KeyDesc& k : s.keys) rows.push_back(RowFor(s, k, kind));
    return rows;
}

std::vector<MeasureRow> MeasureRows() {
    std::vector<MeasureRow> rows;
    for (int i = 0; i < kMeasureCount; ++i)
        rows.push_back({kMeasureNames[i], kFirstMeasure + i, kMeasureMeanings[i]});
    return rows;
}

std::string KindListText() {
    std::ostringstream out;
    for (const KindInfo& k : AllKinds())
        out << Index(k.kind) << '\t' << k.keyword << '\t' << k.menuLabelEnglish << '\n';
    return out.str();
}

std::string DescribeText(ModuleKind kind) {
    const KindInfo& info = Info(kind);
    std::ostringstream out;
    out << '[' << info.keyword << "]  " << info.menuLabelEnglish << " (kind " << Index(kind) << ")\n";
    for (const KeyRow& r : KeyRows(kind)) {
        out << "  " << r.key << '\n' << "      " << r.type << ", default " << r.def;
        if (!r.unit.empty()) out << "; unit: " << r.unit;
        out << '\n';
        if (!r.range.empty()) out << "      range: " << r.range << '\n';
        if (!r.sources.empty()) out << "      accepts: " << r.sources << '\n';
    }
    return out.str();
}

std::string MeasureListText() {
    std::ostringstream out;
    for (const MeasureRow& m : MeasureRows()) out << m.source << '\t' << m.name << '\t' << m.meaning << '\n';
    return out.str();
}

std::string PatchFormatReference() {
    std::ostringstream out;
    out << kFileRules;
    out << "\n## Mouse measures\n\nSource names as a file spells them; each is updated every 10 ms.\n\n"
           "| Source name | Number | What it measures |\n|---|---|---|\n";
    for (const MeasureRow& m : MeasureRows())
        out << "| `" << m.name << "` | " << m.source << " | " << Cell(std::string(m.meaning)) << " |\n";
    out << "\n## The kinds\n\nEach section begins with `Name` and `Position`; the other keys follow in the "
           "order the writer emits them. Range: the range of the module window's slider, where it has one.\n";
    for (const KindInfo& info : AllKinds()) {
        out << "\n### " << Index(info.kind) << " `" << info.keyword << "`: " << info.menuLabelEnglish
            << "\n\n| Key | Type | Default | Unit | Range and values |\n|---|---|---|---|---|\n";
        for (const KeyRow& r : KeyRows(info.kind)) {
            std::string range = r.range;
            if (!r.sources.empty()) range = "accepts " + r.sources;
            out << "| `" << r.key << "` | " << Cell(r.type) << " | " << Cell(r.def) << " | " << Cell(r.unit)
                << " | " << Cell(range) << " |\n";
        }
    }
    return out.str();
}

std::vector<std::string> NearestNames(std::string_view word, const std::vector<std::string>& candidates,
                                      size_t count) {
    std::vector<std::pair<size_t, std::string>> scored;
    const size_t limit = std::max<size_t>(2, word.size() / 3);
    for (const std::string& c : candidates) {
        size_t d = Distance(word, c);
        // A name the word begins or ends is a likely meaning too ("AudioOsc" for Module_AudioOsc).
        const std::string lw = AsciiLowerCopy(word), lc = AsciiLowerCopy(c);
        if (lw.size() >= 3 && lc.size() >= 3 &&
            (lc.find(lw) != std::string::npos || lw.find(lc) != std::string::npos))
            d = std::min(d, limit);
        if (d <= limit) scored.emplace_back(d, c);
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (const auto& [d, name] : scored) {
        if (out.size() >= count) break;
        if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
    }
    return out;
}

std::string DidYouMean(const std::vector<std::string>& names) {
    if (names.empty()) return "";
    std::string s = "; did you mean ";
    for (size_t i = 0; i < names.size(); ++i)
        s += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return s + "?";
}

} // namespace mw::cli
