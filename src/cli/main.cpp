// murmelwerk-render: the headless side of Murmelwerk (patch tools, offline rendering).
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "cli/commands.hpp"
#include "engine/engine.hpp"
#include "model/patch.hpp"

namespace {

constexpr const char* kUsage =
    "Usage: murmelwerk-render [--help]\n"
    "       murmelwerk-render --export-language CODE FILE.txt\n"
    "       murmelwerk-render --demo [--seconds S]\n"
    "\n"
    "  --export-language CODE FILE  write the built-in text of a language (en, de, fr, es, ja)\n"
    "                               as a user language file\n"
    "  --demo                       run the engine offline on a small patch and report its speed\n";

int Demo(double seconds) {
    mw::Engine engine;
    mw::Patch patch(engine);
    // An output module playing a mouse measure: the smallest patch that makes sound.
    mw::Module* out = patch.CreateModule(mw::ModuleKind::AudioOutput, {0, 0});
    out->inputs[mw::output::Input] = mw::MeasureSource(mw::MouseMeasure::HorizontalPosition);
    patch.Republish();
    engine.steerLatency = false;
    engine.BeginOffline();
    const long blocks = long(seconds * 500);
    for (long b = 0; b < blocks; ++b) engine.RenderBlock();
    engine.EndOffline();
    std::printf("rendered %ld blocks (%.1f s of sound) with %zu module(s)\n", blocks, seconds, patch.TotalCount());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::cout << kUsage;
        return argc < 2 ? 2 : 0;
    }
    const std::string cmd = argv[1];
    if (cmd == "--export-language") {
        if (argc != 4) {
            std::cerr << kUsage;
            return 2;
        }
        return mw::cli::ExportLanguageCommand(argv[2], argv[3]);
    }
    if (cmd == "--demo") {
        double seconds = 5;
        if (argc == 4 && std::strcmp(argv[2], "--seconds") == 0) seconds = std::atof(argv[3]);
        return Demo(seconds);
    }
    std::cerr << kUsage;
    return 2;
}
