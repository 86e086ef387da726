#include "cli/render_command.hpp"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>

#include "cli/commands.hpp"
#include "cli/offline_renderer.hpp"
#include "cli/wav_file.hpp"
#include "patch/builtin_patches.hpp"
#include "sources/gestures.hpp"

namespace mw::cli {

bool ParseScreen(const std::string& text, ScreenRect& screen) {
    int w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X'))
        return false;
    if (w < 16 || h < 16 || w > 100000 || h > 100000) return false;
    screen = {0, 0, w, h};
    return true;
}

namespace {

// The built-in patch the options name, by English name or resource number; null with a message.
const BuiltInPatch* NamedBuiltIn(const RenderCliOptions& o) {
    const BuiltInPatch* p = FindBuiltInByName(o.builtin);
    if (!p) {
        char* end = nullptr;
        const long n = std::strtol(o.builtin.c_str(), &end, 10);
        if (end && *end == '\0') p = FindBuiltInByResource(int(n));
    }
    if (!p) std::cerr << "murmelwerk-render: no built-in patch '" << o.builtin << "' (see --list-builtins)\n";
    return p;
}

} // namespace

bool LoadPatchSource(Patch& patch, const RenderCliOptions& o) {
    if (o.builtin.empty()) return LoadPatchFile(patch, o.patchFile);
    const BuiltInPatch* p = NamedBuiltIn(o);
    return p && LoadBuiltInPatch(patch, p->resource);
}

bool LoadPatchSource(Session& session, const RenderCliOptions& o) {
    if (o.builtin.empty()) return LoadPatchFile(session, o.patchFile);
    const BuiltInPatch* p = NamedBuiltIn(o);
    return p && session.LoadBuiltIn(p->resource);
}

namespace {

void ShowProgress(double done) {
    const int width = 40;
    const int filled = int(done * width + 0.5);
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 width - filled, "", int(done * 100 + 0.5));
    if (done >= 1.0) std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace

int RenderCommand(const RenderCliOptions& o) {
    RenderSettings s;
    s.seconds = o.seconds;
    if (!(o.seconds > 0) || o.seconds > 3600 || std::round(o.seconds * kSampleRate) < 1) {
        std::cerr << "murmelwerk-render: --seconds must be at least one sample (1/48000) and at most 3600\n";
        return 2;
    }
    if (!ParseScreen(o.screen, s.screen)) {
        std::cerr << "murmelwerk-render: --screen takes WIDTHxHEIGHT, for example 1920x1080\n";
        return 2;
    }
    if (!(o.controlRate >= 0) || o.controlRate > 48000) {
        std::cerr << "murmelwerk-render: --control-rate must be 0..48000\n";
        return 2;
    }
    if (o.device < -1 || o.device > 8) {
        std::cerr << "murmelwerk-render: --device must be -1..8\n";
        return 2;
    }
    s.seed = o.seed;
    s.controlRate = o.controlRate;
    s.device = o.device;
    std::string error;
    if (!MakeGesture(o.gesture, s.screen, o.seconds * 1000.0, o.seed, s.gesture, error)) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return IsBuiltInGesture(o.gesture) ? 2 : 1;
    }
    if (!o.midiFile.empty() && !ReadMidiFile(o.midiFile, s.midi, error)) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return 1;
    }
    if (!o.inputWav.empty() && !ReadWavFile(o.inputWav, s.input, error)) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return 1;
    }
    if (o.progress && ::isatty(STDERR_FILENO)) s.progress = ShowProgress;

    OfflineRenderer renderer(std::move(s));
    if (!LoadPatchSource(renderer.GetSession(), o)) return 1;
    if (!renderer.RenderToFile(o.outPath, error)) {
        std::cerr << "murmelwerk-render: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace mw::cli
