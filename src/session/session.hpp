#pragma once
// One playing session: the engine, the patch, the three device managers, the mouse sampler and the user
// interface's 10 ms poll, wired the same way for every owner (the real-time player, the offline renderer,
// the main window).
//
// The session runs in one of two modes, fixed when it is made:
// - Live: the engine runs on its own threads (StartEngine, StopEngine), the device managers run their
//   writer and capture threads, the mouse sampler its 10 ms thread. A load creates the modules at once
//   and runs the link pass at the owner's first poll at least 10 ms later.
// - Offline: nothing runs on a thread of its own. The owner drives the engine block by block on its
//   own thread (BeginOffline, RenderBlock, EndOffline), moving the clocks of its in-memory devices
//   between the blocks, and runs the sampler (SampleMouse) and the poll every 480 samples. A load runs
//   both passes at once. The same patch, devices and steps give the same samples every time.
//
// The poll (Poll) belongs to the user-interface thread; the owner calls it from a 10 ms timer of its own.
// It runs a load's link pass when it is due, completes the learn requests of MIDI slider modules, appends
// the notes caught by sequence modules to their texts, and parses the sequence texts that changed.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/output_backend.hpp"
#include "audio/wave_out_manager.hpp"
#include "audio/wave_writer_registry.hpp"
#include "base/text.hpp"
#include "engine/devices.hpp"
#include "engine/engine.hpp"
#include "engine/pointer.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"
#include "sources/input_backend.hpp"
#include "sources/midi_backend.hpp"
#include "sources/midi_in_manager.hpp"
#include "sources/mouse_sampler.hpp"
#include "sources/wave_in_manager.hpp"

namespace mw {

/// What a session plays on: the backends under its device managers and the cursor its sampler reads.
/// Real ones (ALSA, X11) or in-memory ones; each must outlive the session.
struct SessionDevices {
    IOutputBackend& output;
    IMidiBackend& midi;
    IInputBackend& input;
    IPointer& pointer;
};

enum class SessionMode { Live, Offline };

class Session {
public:
    /// The period of the owner's poll timer, and the delay between a load's two passes.
    static constexpr int kPollPeriodMs = 10;
    static constexpr int kLinkDelayMs = 10;

    /// `clock` times the link pass of a live load (null: the monotonic clock); it must outlive the session.
    Session(SessionDevices devices, SessionMode mode, IClock* clock = nullptr);
    /// Stops the engine, then removes the modules before the devices go.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    SessionMode Mode() const { return mode_; }
    Engine& GetEngine() { return engine_; }
    Patch& GetPatch() { return *patch_; }
    WaveOutManager& Outputs() { return outputs_; }
    MidiInManager& Midi() { return midi_; }
    WaveInManager& Inputs() { return inputs_; }
    WaveWriterRegistry& Recordings() { return registry_; }
    /// Edge wrapping, the main window's sliders and the wheel, as the sampler reads them.
    MouseSamplerControls& SamplerControls() { return controls_; }

    // ---- the patch (user-interface thread) ----

    /// Where module windows are attached and detached; refreshed once after a load's first pass and once
    /// after its link pass (offline, where both run at once: once in all).
    void SetViewHooks(ModuleViewHooks* hooks);
    /// Whether a slider that learning adds starts signed.
    void SetNewSlidersSigned(bool on) { newSlidersSigned_ = on; }

    /// Loads a patch text: the current modules are asked to go and one module is made per known
    /// section; the link pass follows (live: at the first poll 10 ms later; offline: at once). Returns
    /// the number of modules made.
    size_t Load(std::u16string_view text, Point clientOrigin = {});
    /// Reads a patch file and loads it; on OpenFailed the patch is unchanged.
    ConfigStatus LoadFile(const std::string& path, Point clientOrigin = {});
    /// Loads a built-in patch by resource number; nullopt (and nothing changed) for an unknown number.
    std::optional<size_t> LoadBuiltIn(int resource, Point clientOrigin = {});
    /// Puts the patch back into a state saved as text (an undo step): removes every module at once, then
    /// makes the modules of the text, with these ids in save order, and links them, all at once.
    /// Their slots are taken again where `plan` names them, so links by slot number find them again.
    void Restore(std::u16string_view text, Point clientOrigin, std::vector<ModuleId> ids,
                 std::map<ModuleId, Patch::SlotPlan> plan = {});
    /// Runs a pending link pass now (before the patch is saved or compared).
    void FinishLoad() {
        if (linkPending_) Link();
    }
    /// True between a live load and its link pass.
    bool LinkPending() const { return linkPending_; }

    /// The 10 ms poll: the link pass when it is due, learned MIDI sliders, caught notes and changed
    /// sequence texts. True when the link pass ran or a slider or a sequence text changed.
    bool Poll();
    /// Whether Poll has anything to do now or may have at a later poll: a pending link pass, or a module
    /// it serves.
    bool PollHasWork() const;

    // ---- live ----

    /// Starts the mouse sampler thread (once; later calls do nothing) and hands the engine the cursor as
    /// the sampler saw it. `view` may be null; it and `lookup` must outlive the session.
    void StartSampler(MouseStatusView* view = nullptr, TextLookup lookup = {});
    /// Starts the engine threads, and the sampler when it is not running yet.
    void StartEngine();
    /// Stops the engine threads and waits until they have ended.
    void StopEngine();
    bool EngineRunning() const { return engine_.engineRunning; }

    // ---- offline ----

    /// Starts the virtual clock: the sampler begins at the pointer's cursor and the engine reads the
    /// pointer directly.
    void BeginOffline();
    /// One sampler iteration on the caller's thread: reads the pointer and the wheel, hands the measures
    /// to the engine. Once every 480 samples, before the block that begins there.
    void SampleMouse();
    /// The capture pass of the open input devices, one engine block, the writer pass of the open output
    /// devices. Advance the input devices' clocks before, the MIDI and output devices' clocks after.
    void RenderBlock();
    void EndOffline();

private:
    void Link();
    double Now();

    const SessionMode mode_;
    IPointer& pointer_;
    IClock* clock_;
    Engine engine_;
    WaveWriterRegistry registry_;
    WaveOutManager outputs_;
    MidiInManager midi_;
    WaveInManager inputs_;
    std::unique_ptr<Patch> patch_;
    bool newSlidersSigned_ = false;
    bool linkPending_ = false;
    double linkDue_ = 0.0;

    MouseSamplerControls controls_;
    MouseSamplerCore core_;                 // offline
    std::unique_ptr<MouseSampler> sampler_; // live
};

} // namespace mw
