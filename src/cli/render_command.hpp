#pragma once
// Offline rendering from the command line.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pointer.hpp"

namespace mw {
struct BuiltInPatch;
class Module;
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
    bool convert = false;      // re-encode a UTF-8, UTF-16BE or LF-only patch file before reading it
    bool gestureGiven = false; // --gesture was named on the command line
    bool quiet = false;        // no summary line
    // playing
    std::string outputDevice;   // the ALSA PCM of output device -1 (default: "default")
    std::string inputDevice;    // the ALSA PCM of input device -1
    double latencyMs = 60.0;    // the desired output latency
    std::string recordWav;      // --play: the output of device -1 recorded through the wave writer
    std::string recordGesture;  // --play: the cursor path as the sampler read it, as a gesture CSV
    bool recordWriters = false; // the patch's wave-writer modules record into their files
};

/// Renders the patch to a WAV file. Exit status: 0, 1 (a file could not be read or written), 2 (usage).
int RenderCommand(const RenderCliOptions& options);

/// Loads the patch file or the built-in patch the options name; false with a message on stderr. Into a
/// bare patch both passes run at once; a session links as its mode says.
bool LoadPatchSource(Patch& patch, const RenderCliOptions& options);
bool LoadPatchSource(Session& session, const RenderCliOptions& options);

/// The built-in patches in the order --list-builtins shows them (position 1 first).
std::vector<const BuiltInPatch*> ListedBuiltIns();
/// The built-in patch a --builtin text names: its position in --list-builtins (1..23), its resource
/// number, its English name or an unambiguous prefix of it (letter case ignored). Null, with a message
/// naming the nearest patches on standard error, when it names none or several.
const BuiltInPatch* FindNamedBuiltIn(const std::string& text);

/// --record-writers: every wave-writer module of the loaded patch starts recording into its FilePath.
/// Exit status 0; 2 (with a message) when a path names an existing file that is not a WAV file or one of
/// `taken` (the command's own files); 1 when a file cannot be opened. Started modules go into `started`.
int StartPatchWriters(Session& session, const std::vector<std::string>& taken,
                      std::vector<const Module*>& started);
/// Stops them; false (with a message) when a recording could not be written completely.
bool StopPatchWriters(Session& session, const std::vector<const Module*>& started);

/// "WIDTHxHEIGHT".
bool ParseScreen(const std::string& text, ScreenRect& screen);

} // namespace mw::cli
