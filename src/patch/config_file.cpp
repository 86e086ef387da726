#include "patch/config_file.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <limits>

#include "base/file_io.hpp"
#include "base/text.hpp"
#include "base/utf.hpp"
#include "engine/engine.hpp"
#include "model/config_values.hpp"
#include "patch/patch.hpp"

namespace mw {
namespace {

using config::FormatReal;

constexpr std::string_view kControllerKey = "Controller";

// ---------------------------------------------------------------- the keys one kind reads

struct KindKeys {
    config::KeySet set;
    int name = -1;
    int position = -1;
    std::vector<int> keyIndex;     // per schema key: its index in the set (-1 for the slider table)
    std::vector<int> subTypeIndex; // per source key: the set index of its SubType key (-1 when none)
    std::vector<int> controllers;  // set indices of Controller1..Controller128 (slider kinds only)
};

KindKeys BuildKindKeys(ModuleKind kind) {
    const KindSchema& s = Schema(kind);
    KindKeys k;
    k.name = k.set.Add("Name");
    k.position = k.set.Add("Position");
    k.keyIndex.assign(s.keys.size(), -1);
    k.subTypeIndex.assign(s.keys.size(), -1);
    for (size_t i = 0; i < s.keys.size(); ++i)
        if (s.keys[i].role != KeyRole::Controllers) k.keyIndex[i] = k.set.Add(s.keys[i].key);
    for (size_t i = 0; i < s.keys.size(); ++i) {
        const KeyRole role = s.keys[i].role;
        if (role != KeyRole::LinkSource && role != KeyRole::InputSource) continue;
        const KeyRole want = role == KeyRole::LinkSource ? KeyRole::LinkSubType : KeyRole::InputSubType;
        for (size_t j = 0; j < s.keys.size(); ++j)
            if (s.keys[j].role == want && s.keys[j].field == s.keys[i].field)
                k.subTypeIndex[i] = k.keyIndex[j];
    }
    if (s.controllers)
        for (int n = 1; n <= kMaxSliders; ++n)
            k.controllers.push_back(k.set.Add(std::string(kControllerKey) + std::to_string(n)));
    return k;
}

const KindKeys& KeysOf(ModuleKind kind) {
    static const std::array<KindKeys, kKindCount> all = [] {
        std::array<KindKeys, kKindCount> a;
        for (int i = 0; i < kKindCount; ++i) a[i] = BuildKindKeys(KindAt(i));
        return a;
    }();
    return all[Index(kind)];
}

// ---------------------------------------------------------------- first-pass helpers

int32_t ClampToInt32(int64_t v) {
    return int32_t(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Position: x from the value up to the first comma; then the leading digits and minus signs, then
// leading commas stripped, and y from what remains up to the next comma. Unreadable parts keep the
// point the module was created at.
void ReadPosition(std::u16string_view value, Point& position, Point origin) {
    if (value.empty()) return;
    int64_t cx = int64_t(position.x) - origin.x;
    int64_t cy = int64_t(position.y) - origin.y;
    if (const auto x = config::ReadInt32(value.substr(0, value.find(u',')))) cx = *x;
    std::u16string_view rest = value;
    while (!rest.empty() && ((rest.front() >= u'0' && rest.front() <= u'9') || rest.front() == u'-'))
        rest.remove_prefix(1);
    while (!rest.empty() && rest.front() == u',') rest.remove_prefix(1);
    if (const auto y = config::ReadInt32(rest.substr(0, rest.find(u',')))) cy = *y;
    position = {ClampToInt32(cx + origin.x), ClampToInt32(cy + origin.y)};
}

// Enumerations: a value of only "0123456789-" is the index itself; any other text is compared with
// the table (ignoring letter case); no match, an empty value or an index outside the table gives -1.
// The analyzer's Mode compares texts only and keeps the current value otherwise.
int32_t ReadEnum(const EnumDesc& desc, std::u16string_view value, int32_t current) {
    const auto matchText = [&]() -> int32_t {
        for (size_t i = 0; i < desc.table.size(); ++i)
            if (config::EqualsIgnoreCase(value, desc.table[i])) return int32_t(i);
        return -1;
    };
    if (desc.keepOnUnknownText) {
        const int32_t i = matchText();
        return i >= 0 ? i : current;
    }
    if (value.empty()) return -1;
    if (config::LeadingNumberRun(value).size() == value.size()) {
        const auto n = config::ReadLong(value);
        return n && *n >= 0 && *n < int64_t(desc.table.size()) ? int32_t(*n) : -1;
    }
    return matchText();
}

// MIDI sliders: Controller1..Controller128; each present key with a readable leading run of
// "0123456789-" puts a controller on slider n, the others leave slider n free (so the sliders keep the
// places, and the outputs the numbers, they were saved with). A minus sign sets the sign flag; the
// controller number is the absolute value masked to the low 16 bits.
void ReadSliders(Module& m, const config::SectionValues& values, const KindKeys& keys) {
    if (!m.sliders) return;
    int count = 0;
    for (size_t k = 0; k < keys.controllers.size() && k < size_t(kMaxSliders); ++k) {
        SliderEntry& e = (*m.sliders)[k];
        e.controller = -1;
        e.negative = false;
        e.slot = -1;
        const std::u16string_view run = config::LeadingNumberRun(values.Get(keys.controllers[k]));
        if (run.empty()) continue;
        const auto number = config::ReadLong(run);
        if (!number) continue;
        const uint64_t magnitude = *number < 0 ? 0 - uint64_t(*number) : uint64_t(*number);
        e.controller = int32_t(magnitude & 0xFFFF);
        e.negative = *number < 0 || run.front() == u'-';
        count = int(k) + 1;
    }
    m.sliderCount = count;
}

// ---------------------------------------------------------------- writer helpers

// Texts written "as is" must stay on their line.
std::u16string OneLine(std::u16string text) {
    for (char16_t& c : text)
        if (c == u'\r' || c == u'\n') c = u' ';
    return text;
}

std::u16string ValueText(const WrittenKey& w) {
    switch (w.role) {
    case KeyRole::LinkSource:
    case KeyRole::InputSource:
        return OneLine(utf::Utf8ToUtf16(w.text));
    case KeyRole::LinkSubType:
    case KeyRole::InputSubType:
    case KeyRole::Integer:
        return config::Widen(FormatLong(w.integer));
    case KeyRole::LinkSensitivity:
    case KeyRole::LinkValue:
    case KeyRole::Real:
        return config::Widen(FormatReal(w.real));
    case KeyRole::Bool:
        return w.boolean ? u"1" : u"0";
    case KeyRole::Text:
        return OneLine(utf::BytesToUtf16(w.text));
    case KeyRole::Sequence:
        return config::EscapeSequence(utf::Utf8ToUtf16(w.text));
    case KeyRole::Enum:
    case KeyRole::Controllers:
        return config::Widen(w.text);
    case KeyRole::Device:
        return config::Widen(config::FormatOutputDevice(int32_t(w.integer)));
    }
    return {};
}

struct FreeSlots {
    int slots = 0;
    int sinks = 0;
};

FreeSlots CountFree(const Engine& e) {
    FreeSlots f;
    for (const ModuleSlot& s : e.slots) f.slots += s.Taken() ? 0 : 1;
    for (const SinkSlot& s : e.sinks) f.sinks += s.module.load() ? 0 : 1;
    return f;
}

// Whether CreateModule can find the slots a kind needs (a MIDI slider module needs only its sink
// entry; sliders that find no slot are dropped). Skipping a module that could not be created saves
// building its state for nothing, which keeps a file with very many sections fast to load.
bool HasRoom(ModuleKind kind, const FreeSlots& f) {
    const KindInfo& info = Info(kind);
    if (info.isSink) return f.sinks > 0;
    return f.slots >= info.outputs;
}

} // namespace

std::optional<ConfigMessage> MessageFor(ConfigStatus status) {
    switch (status) {
    case ConfigStatus::Ok:
        return std::nullopt;
    case ConfigStatus::OpenFailed:
        return ConfigMessage{
            159, 160,
            "The file could not be opened for reading. Check that the file is not in use and that "
            "the file path specified is valid.",
            "The file could not be opened for reading."};
    case ConfigStatus::CreateFailed:
        return ConfigMessage{
            149, 150,
            "The file could not be opened for writing. Check that the file is not in use, that the "
            "disk is not full, and that the file path specified is valid.",
            "The file could not be opened."};
    case ConfigStatus::WriteFailed:
        return ConfigMessage{
            156, 157,
            "An error occured during the writing of the file. Check that the disk is not full and "
            "is still mounted, and then try again.",
            "An error occured during the writing of the file."};
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- sections

bool SectionScanner::Next(std::u16string_view& section) {
    const size_t n = text_.size();
    const auto starts = [&](size_t i) { return text_[i] == u'[' && (i == 0 || text_[i - 1] == u'\n'); };
    size_t i = pos_;
    while (i < n && !starts(i)) ++i;
    if (i >= n) {
        pos_ = n;
        return false;
    }
    size_t j = i + 1;
    while (j < n && !starts(j)) ++j;
    section = text_.substr(i, j - i);
    pos_ = j;
    return true;
}

std::optional<ModuleKind> SectionKind(std::u16string_view text) {
    constexpr std::u16string_view kLead = u"[(){}[] \t";
    constexpr std::u16string_view kEnd = u" \t][(){}";
    constexpr size_t kLongestKeyword = 64;
    size_t i = 0;
    while (i < text.size() && kLead.find(text[i]) != std::u16string_view::npos) ++i;
    size_t j = i;
    while (j < text.size() && kEnd.find(text[j]) == std::u16string_view::npos) {
        if (j - i >= kLongestKeyword || text[j] > 0x7F) return std::nullopt;
        ++j;
    }
    std::string keyword;
    for (size_t k = i; k < j; ++k) keyword.push_back(char(text[k]));
    return KindFromKeyword(keyword);
}

void ReadSection(Module& m, std::u16string_view text, Point origin) {
    const KindSchema& s = Schema(m.kind);
    const KindKeys& keys = KeysOf(m.kind);
    const config::SectionValues values(text, keys.set);
    m.name = utf::Utf16ToUtf8(values.Get(keys.name));
    ReadPosition(values.Get(keys.position), m.position, origin);
    for (size_t i = 0; i < s.keys.size(); ++i) {
        const KeyDesc& k = s.keys[i];
        const std::u16string_view value = values.Get(keys.keyIndex[i]);
        switch (k.role) {
        case KeyRole::LinkSensitivity:
            if (const auto r = config::ReadReal(value)) m.links[k.field].sensitivity = *r;
            break;
        case KeyRole::LinkValue:
            if (const auto r = config::ReadReal(value)) m.links[k.field].value = *r;
            break;
        case KeyRole::Real:
            if (const auto r = config::ReadReal(value)) m.reals[k.field] = *r;
            break;
        case KeyRole::Integer:
            if (const auto n = config::ReadInt32(value)) m.ints[k.field] = *n;
            break;
        case KeyRole::Bool:
            m.bools[k.field] = config::ReadBool(value);
            break;
        case KeyRole::Text:
            m.texts[k.field] = utf::Utf16ToBytes(value);
            break;
        case KeyRole::Sequence:
            m.texts[k.field] = utf::Utf16ToUtf8(config::UnescapeSequence(value));
            break;
        case KeyRole::Enum:
            m.enums[k.field] = ReadEnum(s.enums[k.field], value, m.enums[k.field]);
            break;
        case KeyRole::Controllers:
            ReadSliders(m, values, keys);
            break;
        case KeyRole::LinkSource:
        case KeyRole::LinkSubType:
        case KeyRole::InputSource:
        case KeyRole::InputSubType:
        case KeyRole::Device:
            break; // link pass
        }
    }
}

void LinkSection(Module& m, std::u16string_view text, const Patch& patch) {
    const KindSchema& s = Schema(m.kind);
    const KindKeys& keys = KeysOf(m.kind);
    const config::SectionValues values(text, keys.set);
    for (size_t i = 0; i < s.keys.size(); ++i) {
        const KeyDesc& k = s.keys[i];
        if (k.role == KeyRole::Device) {
            m.devices[k.field] = config::ReadOutputDevice(values.Get(keys.keyIndex[i]));
            continue;
        }
        if (k.role != KeyRole::LinkSource && k.role != KeyRole::InputSource) continue;
        const std::string name = utf::Utf16ToUtf8(values.Get(keys.keyIndex[i]));
        const double subNumber = config::ReadReal(values.Get(keys.subTypeIndex[i])).value_or(0.0);
        const SourceId id = patch.ResolveSource(name, config::TruncateSubType(subNumber));
        if (k.role == KeyRole::LinkSource)
            m.links[k.field].source = id;
        else
            m.inputs[k.field] = id;
    }
}

void ForEachWrittenKey(const Module& m, const Patch& patch, const std::function<void(const WrittenKey&)>& f) {
    const KindSchema& s = Schema(m.kind);
    for (const KeyDesc& k : s.keys) {
        WrittenKey w{std::string(k.key), k.role};
        switch (k.role) {
        case KeyRole::LinkSource:
            w.integer = m.Link(k.field).source;
            w.text = patch.SourceName(SourceId(w.integer));
            break;
        case KeyRole::LinkSubType:
            w.integer = patch.SourceSubType(m.Link(k.field).source);
            break;
        case KeyRole::LinkSensitivity:
            w.real = m.Link(k.field).sensitivity;
            break;
        case KeyRole::LinkValue:
            w.real = m.Link(k.field).value;
            break;
        case KeyRole::InputSource:
            w.integer = m.Input(k.field);
            w.text = patch.SourceName(SourceId(w.integer));
            break;
        case KeyRole::InputSubType:
            w.integer = patch.SourceSubType(m.Input(k.field));
            break;
        case KeyRole::Real:
            w.real = m.Real(k.field);
            break;
        case KeyRole::Integer:
            w.integer = m.Int(k.field);
            break;
        case KeyRole::Bool:
            w.boolean = m.Bool(k.field);
            break;
        case KeyRole::Text:
        case KeyRole::Sequence:
            w.text = m.texts[k.field];
            break;
        case KeyRole::Enum: {
            const int32_t e = m.Enum(k.field);
            const auto& table = s.enums[k.field].table;
            w.integer = e;
            if (e >= 0 && size_t(e) < table.size()) w.text = std::string(table[e]);
            break;
        }
        case KeyRole::Device:
            w.integer = m.Device(k.field);
            break;
        case KeyRole::Controllers:
            if (m.sliders) {
                const int count = std::clamp<int>(m.sliderCount, 0, kMaxSliders);
                for (int n = 0; n < count; ++n) {
                    const SliderEntry& e = (*m.sliders)[n];
                    const int32_t controller = e.controller;
                    if (controller < 0) continue; // a slider without a controller number is not written
                    WrittenKey c{std::string(kControllerKey) + std::to_string(n + 1), KeyRole::Controllers};
                    c.integer = e.negative ? -int64_t(controller) : int64_t(controller);
                    c.text = (e.negative ? "-" : "") + FormatLong(controller);
                    f(c);
                }
            }
            continue;
        }
        f(w);
    }
}

std::u16string WriteSection(const Module& m, const Patch& patch, Point origin) {
    std::u16string out;
    config::AppendAscii(out, "\r\n[");
    config::AppendAscii(out, Info(m.kind).keyword);
    config::AppendAscii(out, "]\r\nName=");
    out += OneLine(utf::Utf8ToUtf16(m.name));
    config::AppendAscii(out, "\r\nPosition=");
    config::AppendAscii(out, FormatLong(int64_t(m.position.x) - origin.x) + "," +
                                 FormatLong(int64_t(m.position.y) - origin.y));
    ForEachWrittenKey(m, patch, [&](const WrittenKey& w) {
        config::AppendAscii(out, "\r\n");
        config::AppendAscii(out, w.key);
        out.push_back(u'=');
        out += ValueText(w);
    });
    config::AppendAscii(out, "\r\n");
    return out;
}

std::u16string ConfigurationText(const Patch& patch, std::string_view header, Point origin) {
    std::u16string out;
    out.push_back(u'\xFEFF');
    config::AppendAscii(out, "## ");
    out += OneLine(utf::Utf8ToUtf16(header));
    config::AppendAscii(out, " ##\r\n");
    patch.ForEachModule([&](const Module& m) { out += WriteSection(m, patch, origin); });
    return out;
}

std::string ToFileBytes(std::u16string_view text) {
    std::string bytes;
    bytes.resize(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = char(text[i] & 0xFF);
        bytes[2 * i + 1] = char(text[i] >> 8);
    }
    return bytes;
}

std::u16string FromFileBytes(std::string_view bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8));
    return text;
}

// ---------------------------------------------------------------- patch level

size_t ParseConfiguration(Patch& patch, std::u16string_view text, Point origin) {
    // The byte-order mark of a file is not part of its text: a section may begin right after it.
    if (!text.empty() && text.front() == u'\xFEFF') text.remove_prefix(1);
    const Patch::RefreshBatch batch(patch);
    patch.QueueRemoveAll();
    patch.SetSectionReader(
        [origin](Module& m, std::u16string_view section) { ReadSection(m, section, origin); });
    const Engine& engine = patch.GetEngine();
    FreeSlots free = CountFree(engine);
    size_t created = 0;
    SectionScanner scanner(text);
    std::u16string_view section;
    while (scanner.Next(section)) {
        const auto kind = SectionKind(section);
        if (!kind || !HasRoom(*kind, free)) continue;
        if (patch.CreateModule(*kind, origin, {}, section)) {
            ++created;
            free = CountFree(engine);
        }
    }
    patch.RequestRefresh();
    return created;
}

void LinkConfiguration(Patch& patch) {
    const Patch::RefreshBatch batch(patch);
    patch.ProcessQueuedRemovals();
    for (ModuleKind kind : ReaderKindOrder())
        for (Module* m : patch.Modules(kind)) {
            if (m->sectionText.empty()) continue;
            LinkSection(*m, m->sectionText, patch);
            std::u16string().swap(m->sectionText);
        }
    patch.Republish();
    patch.RequestRefresh();
}

size_t LoadConfigurationText(Patch& patch, std::u16string_view text, Point origin) {
    const Patch::RefreshBatch batch(patch);
    const size_t created = ParseConfiguration(patch, text, origin);
    LinkConfiguration(patch);
    return created;
}

ConfigStatus ReadConfigurationFile(const std::string& path, std::u16string& text) {
    std::string bytes;
    if (ReadWholeFile(path, kMaxConfigurationFileBytes, bytes) != 0) return ConfigStatus::OpenFailed;
    text = FromFileBytes(bytes);
    return ConfigStatus::Ok;
}

ConfigStatus LoadConfigurationFile(Patch& patch, const std::string& path, Point origin) {
    std::u16string text;
    const ConfigStatus status = ReadConfigurationFile(path, text);
    if (status != ConfigStatus::Ok) return status;
    LoadConfigurationText(patch, text, origin);
    return ConfigStatus::Ok;
}

ConfigStatus SaveConfigurationFile(const Patch& patch, const std::string& path, std::string_view header,
                                   Point origin, int* error) {
    const int e = ReplaceFile(path, ToFileBytes(ConfigurationText(patch, header, origin)));
    if (error) *error = e;
    if (e == 0) return ConfigStatus::Ok;
    // Nothing was written when the file could not even be begun; otherwise the old file still stands.
    return e == EACCES || e == EROFS || e == ENOENT || e == ENOTDIR || e == EISDIR || e == EPERM
               ? ConfigStatus::CreateFailed
               : ConfigStatus::WriteFailed;
}

void ClearConfiguration(Patch& patch) {
    patch.Clear();
}

} // namespace mw
