#include "cli/patch_check.hpp"

#include <algorithm>
#include <map>
#include <optional>

#include "base/text.hpp"
#include "base/utf.hpp"
#include "cli/patch_reference.hpp"
#include "engine/engine.hpp"
#include "model/config_values.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

namespace mw::cli {
namespace {

constexpr std::string_view kConvertHint = " (convert it with --convert --save-as OUT.mwc)";

enum class Encoding { Utf16Le, Utf16Be, Utf8WithMark, EightBit };

Encoding Detect(std::string_view b) {
    const auto at = [&](size_t i) { return i < b.size() ? uint8_t(b[i]) : 0x100; };
    if (at(0) == 0xFF && at(1) == 0xFE) return Encoding::Utf16Le;
    if (at(0) == 0xFE && at(1) == 0xFF) return Encoding::Utf16Be;
    if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) return Encoding::Utf8WithMark;
    // Without a byte-order mark: an ASCII character followed by a zero byte is UTF-16LE text.
    if (b.empty() || (at(0) != 0 && at(1) == 0)) return Encoding::Utf16Le;
    return Encoding::EightBit;
}

// Line numbers of offsets into a text (lines end with LF).
class Lines {
public:
    explicit Lines(std::u16string_view text) {
        starts_.push_back(0);
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == u'\n') starts_.push_back(i + 1);
    }
    int LineOf(size_t offset) const {
        return int(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin());
    }

private:
    std::vector<size_t> starts_;
};

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r')) s.remove_suffix(1);
    return s;
}

std::string Quote(std::u16string_view s) {
    return "'" + utf::Utf16ToUtf8(s) + "'";
}

std::vector<std::string> KindKeywords() {
    std::vector<std::string> k;
    for (const KindInfo& info : AllKinds()) k.emplace_back(info.keyword);
    return k;
}

// The keyword text of a section as the reader takes it (up to the line end, for the message).
std::u16string_view KeywordText(std::u16string_view section) {
    constexpr std::u16string_view kLead = u"[(){}[] \t";
    constexpr std::u16string_view kEnd = u" \t][(){}\r\n";
    size_t i = 0;
    while (i < section.size() && kLead.find(section[i]) != std::u16string_view::npos) ++i;
    size_t j = i;
    while (j < section.size() && kEnd.find(section[j]) == std::u16string_view::npos) ++j;
    return section.substr(i, j - i);
}

struct KindKeyTable {
    std::map<std::string, const KeyDesc*>
        keys;                       // lower-case key -> schema key (null: Name, Position, Controller n)
    std::vector<std::string> names; // as spelt, for suggestions
};

KindKeyTable KeyTable(ModuleKind kind) {
    KindKeyTable t;
    const auto add = [&](std::string_view key, const KeyDesc* d) {
        t.keys.emplace(AsciiLowerCopy(key), d);
        t.names.emplace_back(key);
    };
    add("Name", nullptr);
    add("Position", nullptr);
    for (const KeyDesc& k : Schema(kind).keys) {
        if (k.role != KeyRole::Controllers) {
            add(k.key, &k);
            continue;
        }
        for (int n = 1; n <= kMaxSliders; ++n) t.keys.emplace("controller" + std::to_string(n), nullptr);
        t.names.emplace_back("Controller1");
    }
    return t;
}

// What the reader makes of one value, when that is not what the text suggests.
std::optional<std::string> ValueProblem(ModuleKind kind, const KeyDesc* k, std::string_view key,
                                        std::u16string_view value) {
    const std::string shown = Quote(value);
    if (!k) {
        if (!EqualsIgnoreCase(key, "Position")) return std::nullopt;
        const auto x = config::ReadInt32(value.substr(0, value.find(u',')));
        const size_t comma = value.find(u',');
        const auto y = comma == std::u16string_view::npos ? std::nullopt
                                                          : config::ReadInt32(Trim(value.substr(comma + 1)));
        if (x && y) return std::nullopt;
        return "unreadable Position " + shown + ": x,y expected; the window is placed anywhere";
    }
    const auto keptDefault = [&]() -> std::string {
        return (value.empty() ? "empty " + std::string(key)
                              : "unreadable value " + shown + " for " + std::string(key)) +
               ": the default " + DefaultText(kind, *k) + " is kept";
    };
    switch (k->role) {
    case KeyRole::Real:
    case KeyRole::LinkSensitivity:
    case KeyRole::LinkValue:
        if (!config::ReadReal(value)) return keptDefault();
        break;
    case KeyRole::Integer:
        if (!config::ReadInt32(value)) return keptDefault();
        break;
    case KeyRole::LinkSubType:
    case KeyRole::InputSubType:
        if (!value.empty() && !config::ReadReal(value))
            return "unreadable SubType " + shown + ": output 0 is taken";
        break;
    case KeyRole::Bool:
        if (!config::EqualsIgnoreCase(value, "1") && !config::EqualsIgnoreCase(value, "true") &&
            !config::EqualsIgnoreCase(value, "0") && !config::EqualsIgnoreCase(value, "false"))
            return shown + " for " + std::string(key) + " reads as false (true is 1 or TRUE)";
        break;
    case KeyRole::Enum: {
        const EnumDesc& e = Schema(kind).enums[k->field];
        if (value.empty()) break;
        bool known = false;
        for (std::string_view t : e.table) known = known || config::EqualsIgnoreCase(value, t);
        if (!e.keepOnUnknownText && config::LeadingNumberRun(value).size() == value.size()) {
            const auto n = config::ReadLong(value);
            known = n && *n >= 0 && *n < int64_t(e.table.size());
        }
        if (known) break;
        std::string texts;
        for (size_t i = 0; i < e.table.size(); ++i) texts += (i ? ", " : "") + std::string(e.table[i]);
        return "unknown " + std::string(key) + " " + shown + " (one of " + texts + "): " +
               (e.keepOnUnknownText ? "the default " + DefaultText(kind, *k) + " is kept"
                                    : "reads as none (-1)");
    }
    case KeyRole::Device:
        if (config::ReadOutputDevice(value) == kNoOutputDevice && config::LeadingNumberRun(value) != u"-555")
            return std::string(key) + "=" + utf::Utf16ToUtf8(value) +
                   " means no device (-555): a device needs its channels, as in '-1 (L+R)', '0 (L)' or '0 "
                   "(R)'";
        break;
    default:
        break;
    }
    return std::nullopt;
}

struct MadeModule {
    Module* module;
    std::u16string_view section;
    std::map<std::string, int> keyLines; // lower-case key -> line of its (first) key line
};

// The key lines of one section: unknown keys, keys the reader cannot see, repeated keys, values it
// reads otherwise than they look, and absent output routings.
void CheckKeys(ModuleKind kind, std::u16string_view section, size_t at, const Lines& lines, MadeModule& made,
               std::vector<Finding>& out) {
    static const std::array<KindKeyTable, kKindCount> tables = [] {
        std::array<KindKeyTable, kKindCount> a;
        for (int i = 0; i < kKindCount; ++i) a[i] = KeyTable(KindAt(i));
        return a;
    }();
    const KindKeyTable& table = tables[Index(kind)];
    const std::string keyword(Info(kind).keyword);
    size_t pos = section.find(u'\n');
    while (pos != std::u16string_view::npos && pos + 1 < section.size()) {
        const size_t begin = pos + 1;
        pos = section.find(u'\n', begin);
        const std::u16string_view line =
            section.substr(begin, (pos == std::u16string_view::npos ? section.size() : pos) - begin);
        const int number = lines.LineOf(at + begin);
        if (Trim(line).empty()) continue;
        const size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos) {
            out.push_back({number, "not a Key=Value line: ignored"});
            continue;
        }
        const std::u16string_view rawKey = line.substr(0, eq), key16 = Trim(rawKey);
        const std::string key = utf::Utf16ToUtf8(key16), lower = AsciiLowerCopy(key);
        const auto found = table.keys.find(lower);
        if (found == table.keys.end()) {
            out.push_back({number, "unknown key '" + key + "' for " + keyword + ": ignored" +
                                       DidYouMean(NearestNames(key, table.names))});
            continue;
        }
        if (rawKey.size() != key16.size()) {
            out.push_back({number, "blank before '=' or at the line start: the reader does not find '" + key +
                                       "' (write '" + key + "=...')"});
            continue;
        }
        if (const auto seen = made.keyLines.find(lower); seen != made.keyLines.end()) {
            out.push_back({number, "'" + key + "' again: the first one (line " +
                                       std::to_string(seen->second) + ") is used"});
            continue;
        }
        made.keyLines.emplace(lower, number);
        if (const auto problem = ValueProblem(kind, found->second, key, Trim(line.substr(eq + 1))))
            out.push_back({number, *problem});
    }
    for (const KeyDesc& k : Schema(kind).keys)
        if (k.role == KeyRole::Device && !made.keyLines.count(AsciiLowerCopy(k.key)))
            out.push_back({lines.LineOf(at), keyword + " without " + std::string(k.key) +
                                                 ": it plays to no device (-1 (L+R) is the default device)"});
}

// The sources of a linked module: names that resolve to nothing, and names several modules share.
void CheckSources(const Engine& engine, const MadeModule& made, const std::vector<std::string>& sourceNames,
                  std::vector<Finding>& out) {
    const Module& m = *made.module;
    for (const KeyDesc& k : Schema(m.kind).keys) {
        if (k.role != KeyRole::LinkSource && k.role != KeyRole::InputSource) continue;
        const auto line = made.keyLines.find(AsciiLowerCopy(k.key));
        if (line == made.keyLines.end()) continue;
        const std::string name = utf::Utf16ToUtf8(config::GetValue(made.section, k.key));
        if (name.empty() || EqualsIgnoreCase(name, kInvalidName)) continue;
        const SourceId id =
            k.role == KeyRole::LinkSource ? SourceId(m.Link(k.field).source) : m.Input(k.field);
        const int sub =
            config::TruncateSubType(config::GetNumber(made.section, std::string(k.key) + "SubType"));
        if (id == kNoSource) {
            int outputs = 0;
            for (const ModuleSlot& s : engine.slots)
                if (s.Taken() && EqualsIgnoreCase(s.name, name))
                    outputs = std::max(outputs, int(s.outputIndex) + 1);
            out.push_back({line->second,
                           outputs > 0 ? "source '" + name + "' has no output " + std::to_string(sub) +
                                             " (SubType " + std::to_string(sub) + "; its outputs are 0.." +
                                             std::to_string(outputs - 1) + "): the link reads nothing"
                                       : "source '" + name + "' names nothing: the link reads nothing" +
                                             DidYouMean(NearestNames(name, sourceNames))});
            continue;
        }
        if (!IsSlot(id)) continue;
        int sharing = 0;
        for (const ModuleSlot& s : engine.slots)
            sharing += s.Taken() && int(s.outputIndex) == sub && EqualsIgnoreCase(s.name, name) ? 1 : 0;
        if (sharing > 1)
            out.push_back({line->second, "source '" + name + "' names " + std::to_string(sharing) +
                                             " modules: the link goes to the one in the lowest slot (slot " +
                                             std::to_string(id) + ")"});
    }
}

} // namespace

std::vector<Finding> CheckPatchBytes(std::string_view bytes) {
    std::vector<Finding> out;
    const Encoding encoding = Detect(bytes);
    if (encoding != Encoding::Utf16Le) {
        Engine engine;
        Patch patch(engine);
        const size_t made = LoadConfigurationText(patch, FromFileBytes(bytes));
        out.push_back({1, std::string("not UTF-16LE: the file is ") +
                              (encoding == Encoding::Utf16Be        ? "UTF-16BE"
                               : encoding == Encoding::Utf8WithMark ? "UTF-8"
                                                                    : "UTF-8 or another 8-bit text") +
                              "; the reader " +
                              (made == 0 ? "finds no module in it"
                                         : "finds only " + std::to_string(made) + " module(s) in it") +
                              std::string(kConvertHint)});
        return out;
    }
    std::u16string text = FromFileBytes(bytes);
    if (!text.empty() && text.front() == u'\xFEFF') text.erase(0, 1);
    const Lines lines(text);

    bool keysVisible = true;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
            out.push_back(
                {lines.LineOf(i), "line ends are LF only (CR LF expected): the reader finds no key, so "
                                  "every module keeps its defaults" +
                                      std::string(kConvertHint)});
            keysVisible = false;
            break;
        }
    if (keysVisible && text.find(u'\n') == std::u16string::npos && text.find(u'\r') != std::u16string::npos)
        out.push_back(
            {1, "line ends are CR only (CR LF expected): the reader finds no section after the first" +
                    std::string(kConvertHint)});

    // The reader's first pass, section by section, so that each module is known with its lines.
    Engine engine;
    Patch patch(engine);
    patch.SetSectionReader([](Module& m, std::u16string_view section) { ReadSection(m, section); });
    std::vector<MadeModule> made;
    SectionScanner scanner(text);
    std::u16string_view section;
    while (scanner.Next(section)) {
        const size_t at = size_t(section.data() - text.data());
        const int line = lines.LineOf(at);
        const auto kind = SectionKind(section);
        if (!kind) {
            const std::string keyword = utf::Utf16ToUtf8(KeywordText(section));
            out.push_back({line, "unknown section keyword '" + keyword + "': the section is skipped" +
                                     DidYouMean(NearestNames(keyword, KindKeywords(), 1))});
            continue;
        }
        Module* m = patch.CreateModule(*kind, {}, {}, section);
        if (!m) {
            out.push_back({line, std::string(Info(*kind).keyword) + " " +
                                     Quote(config::GetValue(section, "Name")) + " is not made: all 128 " +
                                     (Info(*kind).isSink ? "sink" : "module output") + " slots are taken"});
            continue;
        }
        made.push_back({m, section, {}});
        if (keysVisible) CheckKeys(*kind, section, at, lines, made.back(), out);
    }
    LinkConfiguration(patch);

    if (patch.TotalCount() == 0) {
        out.push_back({1, "no module: the file has no section the reader knows"});
    } else if (keysVisible) {
        std::vector<std::string> sourceNames{std::string(kManualName)};
        for (std::string_view n : kMeasureNames) sourceNames.emplace_back(n);
        patch.ForEachModule([&](const Module& m) { sourceNames.push_back(m.name); });
        for (const MadeModule& m : made) CheckSources(engine, m, sourceNames, out);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return out;
}

std::u16string ConvertedPatchText(std::string_view bytes, std::string& what) {
    std::u16string text;
    what.clear();
    switch (Detect(bytes)) {
    case Encoding::Utf16Le:
        text = FromFileBytes(bytes);
        break;
    case Encoding::Utf16Be: {
        std::string swapped(bytes);
        for (size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        text = FromFileBytes(swapped);
        what = "UTF-16BE to UTF-16LE";
        break;
    }
    case Encoding::Utf8WithMark:
        bytes.remove_prefix(3);
        [[fallthrough]];
    case Encoding::EightBit:
        text = utf::BytesToUtf16(bytes);
        what = "UTF-8 to UTF-16LE";
        break;
    }
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    bool changed = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out += u"\r\n";
            ++i;
        } else if (text[i] == u'\r' || text[i] == u'\n') {
            out += u"\r\n";
            changed = true;
        } else {
            out.push_back(text[i]);
        }
    }
    if (changed) what += std::string(what.empty() ? "" : ", ") + "line ends to CR LF";
    return out;
}

} // namespace mw::cli
