// Writes seeds for the settings-file fuzz target: the default settings, and settings with every text
// and number set, as SerializeSettings writes them.
#include <cstdio>
#include <string>
#include <vector>

#include "app/settings/settings_file.hpp"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    mw::ProgramSettings custom;
    custom.SettingsText0 = "stored \xE2\x9C\x93";
    custom.LanguageCode = mw::kLanguageUserFile;
    custom.UserLanguageFile = "/home/user/Sprache \xFF.txt";
    custom.WaveFolder = "/tmp/waves";
    custom.ConfigurationPath = "/home/user/patches/Gl\xC3\xBC"
                               "ck.mwc";
    custom.ConfigurationFolder = "/home/user/patches";
    custom.WindowRect = {-20, 10, 800, 600};
    custom.OutputLatencyMs = 120;
    custom.ControlRate = 250.5;
    custom.ColourSettings[4] = 0x00FF8040;
    return Write(folder + "/default.mws", mw::SerializeSettings(mw::ProgramSettings{})) &&
                   Write(folder + "/custom.mws", mw::SerializeSettings(custom))
               ? 0
               : 1;
}
