#pragma once
// Offline rendering from the command line.

#include <cstdint>
#include <string>

#include "engine/pointer.hpp"

namespace mw {
class Patch;
class Session;
} // namespace mw

namespace mw::cli {

struct RenderCliOptions {
    std::string patchFile; // or
    std::string builtin;   // a built-in patch by English name or resource number
    std::string outPath;
    double seconds = 5.0;
    std::string gesture = "circle";
    std::string screen = "1920x1080";
    uint32_t seed = 1;
    double controlRate = 4000.0;
    int32_t device = -1;
    std::string midiFile;
    std::string inputWav;
    bool progress = true;
};

/// Renders the patch to a WAV file. Exit status: 0, 1 (a file could not be read or written), 2 (usage).
int RenderCommand(const RenderCliOptions& options);

/// Loads the patch file or the built-in patch the options name; false with a message on stderr. Into a
/// bare patch both passes run at once; a session links as its mode says.
bool LoadPatchSource(Patch& patch, const RenderCliOptions& options);
bool LoadPatchSource(Session& session, const RenderCliOptions& options);

/// "WIDTHxHEIGHT".
bool ParseScreen(const std::string& text, ScreenRect& screen);

} // namespace mw::cli
