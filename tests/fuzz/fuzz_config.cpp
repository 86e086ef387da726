// libFuzzer target: the patch-file reader on any byte sequence (read as UTF-16LE code units).
// Besides surviving every input it checks two properties:
//  - the one-pass key index of a section finds the same values as the plain key lookup;
//  - a loaded patch, saved, loaded into an empty patch and saved again, gives the same text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "model/config_values.hpp"
#include "model/params.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

namespace {

void CheckKeyLookup(std::u16string_view text) {
    mw::SectionScanner scanner(text);
    std::u16string_view section;
    int sections = 0;
    while (scanner.Next(section) && ++sections <= 64) {
        const auto kind = mw::SectionKind(section);
        if (!kind) continue;
        std::vector<std::string> keys{"Name", "Position"};
        for (const mw::KeyDesc& k : mw::Schema(*kind).keys) keys.emplace_back(k.key);
        for (int n = 1; n <= 4; ++n) keys.push_back("Controller" + std::to_string(n));
        const mw::config::KeySet set(keys);
        const mw::config::SectionValues values(section, set);
        for (const std::string& key : keys)
            if (values.Get(key) != mw::config::GetValue(section, key)) __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static mw::Engine* engine = [] {
        // The reader is the subject: the kinds' signal-processing state (delay lines and the like,
        // slow to allocate under the sanitizers) is left out.
        static const mw::KindOps noOps{};
        auto* e = new mw::Engine;
        for (int k = 0; k < mw::kKindCount; ++k) e->SetKindOps(mw::KindAt(k), &noOps);
        return e;
    }();
    static mw::Patch* patch = new mw::Patch(*engine);

    const std::u16string text =
        mw::FromFileBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    CheckKeyLookup(text);

    mw::LoadConfigurationText(*patch, text);
    const std::u16string saved = mw::ConfigurationText(*patch);
    mw::ClearConfiguration(*patch);
    mw::LoadConfigurationText(*patch, saved);
    const std::u16string again = mw::ConfigurationText(*patch);
    if (saved != again) __builtin_trap();
    patch->ForEachModule([](const mw::Module& m) {
        if (!m.sectionText.empty()) __builtin_trap();
    });
    mw::ClearConfiguration(*patch);
    return 0;
}
