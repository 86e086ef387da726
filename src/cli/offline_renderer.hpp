#pragma once
// Renders a patch without a sound card, a hand or a clock: an offline session (the engine in its
// virtual-clock mode, the mouse sampler on a scripted pointer every 480 samples, in-memory devices behind
// the real device managers), and the output written through the real wave writer. The same settings give
// the same bytes. A renderer renders once: its devices, pointer and modules go on from where a first
// render left them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/midi_file.hpp"
#include "engine/engine.hpp"
#include "engine/pointer.hpp"
#include "patch/patch.hpp"
#include "session/session.hpp"
#include "sources/scripted_pointer.hpp"

namespace mw::cli {

struct RenderSettings {
    double seconds = 5.0;
    std::vector<ScriptPoint> gesture; // the hand's path (see sources/gestures.hpp)
    ScreenRect screen{0, 0, 1920, 1080};
    uint32_t seed = 1;
    double controlRate = 4000.0;        // the settings' default
    int32_t device = -1;                // the output device recorded
    std::vector<TimedMidiMessage> midi; // played into MIDI input device 0
    std::vector<int16_t> input;         // fed to audio input device -1
    bool wrapMouse = true;
    std::function<void(double done)> progress; // called now and then with 0..1
};

/// What a render to a file played, over both channels of its frames.
struct RenderStats {
    uint64_t samples = 0;  // both channels
    uint64_t nonZero = 0;  // samples other than 0
    int32_t peak = 0;      // the largest magnitude
    uint64_t clipped = 0;  // samples at the ends of the 16-bit range
    double sumSquares = 0; // for the RMS
};

class OfflineRenderer {
public:
    explicit OfflineRenderer(RenderSettings settings);
    ~OfflineRenderer();
    OfflineRenderer(const OfflineRenderer&) = delete;
    OfflineRenderer& operator=(const OfflineRenderer&) = delete;

    /// The patch to render: load it before rendering.
    Session& GetSession() { return *session_; }
    Patch& GetPatch() { return session_->GetPatch(); }
    Engine& GetEngine() { return session_->GetEngine(); }

    /// Renders seconds x 48000 stereo frames into a RIFF/WAVE file. False with a message on failure.
    bool RenderToFile(const std::string& path, std::string& error);
    /// Renders and returns the interleaved 16-bit frames the device played (for tests and benchmarks).
    std::vector<int16_t> RenderFrames();

    uint64_t FrameCount() const;
    /// What the last RenderToFile played.
    const RenderStats& Stats() const { return stats_; }

private:
    struct Devices;
    void RenderBlocks(const std::function<void(uint32_t newFrames)>& afterBlock);

    RenderSettings s_;
    std::unique_ptr<Devices> dev_;
    std::unique_ptr<Session> session_;
    RenderStats stats_;
};

} // namespace mw::cli
