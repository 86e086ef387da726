// The patch tools of murmelwerk-render: load a patch file, save it again, print it as JSON.
// Headless, the main window's client origin is the screen origin: positions pass through unchanged.
#include <cstring>
#include <iostream>

#include <nlohmann/json.hpp>

#include "base/file_io.hpp"
#include "cli/commands.hpp"
#include "cli/patch_check.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"
#include "session/session.hpp"

namespace mw::cli {
namespace {

void Report(ConfigStatus status, const std::string& path, int error = 0) {
    if (const auto message = MessageFor(status)) {
        std::cerr << "murmelwerk-render: " << path << ": " << message->englishText;
        if (error != 0) std::cerr << " (" << std::strerror(error) << ")";
        std::cerr << "\n";
    }
}

nlohmann::ordered_json KeyJson(const WrittenKey& w) {
    switch (w.role) {
    case KeyRole::LinkSensitivity:
    case KeyRole::LinkValue:
    case KeyRole::Real:
        return w.real;
    case KeyRole::Bool:
        return w.boolean;
    case KeyRole::Text:
    case KeyRole::Sequence:
        return w.text;
    case KeyRole::LinkSource:
    case KeyRole::LinkSubType:
    case KeyRole::InputSource:
    case KeyRole::InputSubType:
    case KeyRole::Integer:
    case KeyRole::Enum:
    case KeyRole::Device:
    case KeyRole::Controllers:
        return w.integer;
    }
    return nullptr;
}

} // namespace

namespace {

// A patch file's text as the reader takes it, or converted when asked.
bool ReadPatchText(const std::string& path, bool convert, std::u16string& text) {
    if (!convert) {
        const ConfigStatus status = ReadConfigurationFile(path, text);
        Report(status, path);
        return status == ConfigStatus::Ok;
    }
    std::string bytes;
    if (ReadWholeFile(path, kMaxConfigurationFileBytes, bytes) != 0) {
        Report(ConfigStatus::OpenFailed, path);
        return false;
    }
    std::string what;
    text = ConvertedPatchText(bytes, what);
    if (!what.empty()) std::cerr << "murmelwerk-render: " << path << ": converted " << what << "\n";
    return true;
}

} // namespace

bool LoadPatchFile(Patch& patch, const std::string& path, bool convert) {
    std::u16string text;
    if (!ReadPatchText(path, convert, text)) return false;
    LoadConfigurationText(patch, text);
    return true;
}

bool LoadPatchFile(Session& session, const std::string& path, bool convert) {
    std::u16string text;
    if (!ReadPatchText(path, convert, text)) return false;
    session.Load(text);
    return true;
}

int CheckPatchCommand(const std::string& path, const BuiltInPatch* builtin, bool convert) {
    std::string bytes, name = path;
    if (builtin) {
        bytes = std::string(BuiltInPatchBytes(*builtin));
        name = "builtin:" + std::string(builtin->name);
    } else {
        std::u16string text;
        if (!ReadPatchText(path, convert, text)) return 1;
        if (convert) {
            bytes = ToFileBytes(text);
        } else if (ReadWholeFile(path, kMaxConfigurationFileBytes, bytes) != 0) {
            Report(ConfigStatus::OpenFailed, path);
            return 1;
        }
    }
    const std::vector<Finding> findings = CheckPatchBytes(bytes);
    for (const Finding& f : findings) std::cout << name << ":" << f.line << ": " << f.message << "\n";
    return findings.empty() ? 0 : 3;
}

bool SavePatchFile(const Patch& patch, const std::string& path) {
    int error = 0;
    const ConfigStatus status = SaveConfigurationFile(patch, path, kDefaultConfigHeader, {}, &error);
    Report(status, path, error);
    return status == ConfigStatus::Ok;
}

std::string PatchToJson(const Patch& patch) {
    nlohmann::ordered_json modules = nlohmann::ordered_json::array();
    patch.ForEachModule([&](const Module& m) {
        nlohmann::ordered_json j;
        j["kind"] = Info(m.kind).keyword;
        j["name"] = m.name;
        j["position"] = {m.position.x, m.position.y};
        nlohmann::ordered_json slots = nlohmann::ordered_json::array();
        if (Info(m.kind).isSink && !m.sliders) {
            slots.push_back(m.sinkSlot.load());
        } else {
            for (int k = 0; k < m.OutputCount(); ++k) slots.push_back(m.OutputSlot(k));
        }
        j["slots"] = std::move(slots);
        nlohmann::ordered_json keys = nlohmann::ordered_json::object();
        ForEachWrittenKey(m, patch, [&](const WrittenKey& w) { keys[w.key] = KeyJson(w); });
        j["keys"] = std::move(keys);
        modules.push_back(std::move(j));
    });
    nlohmann::ordered_json root;
    root["modules"] = std::move(modules);
    // Texts that are not valid UTF-8 (file paths may hold any bytes) are shown with U+FFFD.
    return root.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace mw::cli
