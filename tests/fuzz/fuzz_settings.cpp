// libFuzzer target: the settings-file reader on any byte sequence. Besides surviving every input it
// checks that whatever it read is written back in a form that reads back completely, to the same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/settings/settings_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    mw::ProgramSettings settings;
    const mw::SettingsLoadResult result = mw::ParseSettings(settings, bytes, false);
    if (result.outcome != mw::SettingsLoadOutcome::Loaded && settings != mw::ProgramSettings{})
        __builtin_trap(); // a rejected file leaves the defaults

    // At the default location another version is questioned: a declining answer keeps the defaults.
    mw::ProgramSettings asked;
    const mw::SettingsLoadResult declined =
        mw::ParseSettings(asked, bytes, true, [](mw::ProgramSettings&) { return false; });
    const std::vector<uint8_t> saved = mw::SerializeSettings(settings);
    if (declined.outcome == mw::SettingsLoadOutcome::Loaded
            ? result.outcome != mw::SettingsLoadOutcome::Loaded || mw::SerializeSettings(asked) != saved
            : asked != mw::ProgramSettings{})
        __builtin_trap();

    mw::ProgramSettings again;
    const mw::SettingsLoadResult reread = mw::ParseSettings(again, saved, true);
    if (reread.outcome != mw::SettingsLoadOutcome::Loaded || !reread.complete) __builtin_trap();
    if (mw::SerializeSettings(again) != saved) __builtin_trap();
    return 0;
}
