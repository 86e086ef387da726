#pragma once
// The sound engine: the slot tables through which modules exchange signals, the mouse measures,
// and the per-block, per-sample schedule that evaluates every module and hands blocks to the devices.
//
// Threads: the model (user-interface thread) publishes an immutable EngineSnapshot of the per-kind
// module lists; the engine picks it up at each block start and walks it without locks. A module is
// destroyed only after the engine has passed a block boundary since the snapshot without it was
// published (see PublishSnapshot / HasPassed).

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "base/relaxed.hpp"
#include "engine/devices.hpp"
#include "model/module_kind.hpp"
#include "model/source_id.hpp"

namespace mw {

class Module;
struct KindOps;
class IPointer;

inline constexpr int kSampleRate = 48000;
inline constexpr int kMaxVoices = 128;
inline constexpr int kSinkCount = 128;
inline constexpr int kDeviceSlotCount = 10;

struct ModuleSlot {
    Relaxed<Module*> module{nullptr};
    Relaxed<uint8_t> kind{kNoEngineKind};
    Relaxed<uint8_t> outputIndex{0};
    Relaxed<uint8_t> isAudioRate{0};
    Relaxed<uint8_t> voiceCount{0};
    std::array<Relaxed<double>, kMaxVoices> value;
    std::array<Relaxed<double>, kMaxVoices> smoothedValue;
    std::array<Relaxed<double>, kMaxVoices> velocity;
    std::array<Relaxed<double>, kMaxVoices> smoothedVelocity;
    std::array<Relaxed<uint8_t>, kMaxVoices> note;
    // Owned by the user-interface thread (names live only at the file and window boundary).
    std::string name;
    std::string outputLabel;

    bool Taken() const { return module.load() != nullptr; }
};

struct SinkSlot {
    Relaxed<Module*> module{nullptr};
    Relaxed<uint8_t> type{0};
};

/// The module lists as the engine walks them, plus the slots in use. Built and owned by the model.
struct EngineSnapshot {
    std::array<std::vector<Module*>, kKindCount> lists;
    std::vector<uint8_t> moduleSlots; // taken ModuleSlots, ascending
    std::vector<uint8_t> sinkSlots;   // taken SinkSlots, ascending
    /// The slots that may play, in routing order: sinks of output modules (sink = true) and the ModuleSlots
    /// of the audio kinds that have an output device, slot by slot with a sink before its module slot.
    struct Route {
        uint8_t slot;
        bool sink;
    };
    std::vector<Route> routes;
    bool hasMidiModules = false;
};

/// Whether the engine plays the output slots of a kind on the kind's OutputDeviceID.
bool PlaysOnOutputDevice(ModuleKind kind);

/// Proof that a snapshot was published; HasPassed tells when no engine block can still read the old one.
struct PublishTicket {
    uint64_t blockSeq = 0;
    bool engineIdle = true;
};

class Engine {
public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // ---- devices (set before the engine starts; default: absent devices) ----
    void SetDevices(IAudioOutput* out, IMidiInput* midi, IAudioInput* in);
    void SetClock(IClock* clock);
    /// Replaces how one kind is evaluated (for instrumented runs and tests); null restores the default.
    void SetKindOps(ModuleKind kind, const KindOps* ops);
    const KindOps& Ops(ModuleKind kind) const { return *ops_[Index(kind)]; }
    IAudioOutput& AudioOut() { return *audioOut_; }
    IMidiInput& MidiIn() { return *midiIn_; }
    IAudioInput& AudioIn() { return *audioIn_; }
    /// The cursor, for modules that look at it directly (the sensor); may be null.
    void SetPointer(IPointer* pointer) { pointer_ = pointer; }
    IPointer* Pointer() const { return pointer_; }

    // ---- slot tables ----
    std::array<ModuleSlot, kSlotCount> slots;
    std::array<SinkSlot, kSinkCount> sinks;

    /// Takes the lowest free ModuleSlot for one output of a module (`preferred` when that one is free);
    /// -1 when all are taken. Safe to call from any non-engine thread; never hands out the same slot twice.
    int RegisterSlot(Module* module, ModuleKind kind, int outputIndex, const std::string& name,
                     const std::string& outputLabel, int preferred = -1);
    /// Frees a slot and zeroes its first value row; setKindFree also marks its Kind byte 255.
    void ReleaseSlot(int slot, bool setKindFree);
    int RegisterSink(Module* module, SinkType type);
    void ReleaseSink(int sink);

    // ---- mouse measures ----
    std::array<Relaxed<double>, kMeasureCount> rawMeasures;
    std::array<Relaxed<double>, kMeasureCount> smoothedMeasures;

    // ---- timing and control ----
    Relaxed<bool> stopFlag{false};
    Relaxed<bool> engineRunning{false};
    Relaxed<double> controlRate{4000.0};
    Relaxed<int8_t> blockAdjust{0};
    Relaxed<int32_t> outputLatencyMs{60};
    Relaxed<int32_t> inputLatencyMs{20};
    Relaxed<double> measuredLatency{0.0};
    Relaxed<double> blockTime{2.0};
    Relaxed<int64_t> blockCounter{0};
    Relaxed<bool> makeNoSound{false};
    Relaxed<bool> realTimePriority{false};
    /// Blocks made per wake-up of the live engine thread for a desired output latency: as many 2 ms
    /// periods as fit into a third of it, 1 to kMaxBlocksPerWake.
    static int BlocksPerWake(int32_t desiredLatencyMs);
    static constexpr int32_t kBlockPeriodMs = 2;
    static constexpr int kMaxBlocksPerWake = 4;
    /// Offline rendering keeps every block at 96 samples: the latency steering is switched off.
    Relaxed<bool> steerLatency{true};
    /// Whether output analyzers draw their pictures; a render that nobody watches switches it off.
    Relaxed<bool> drawPictures{true};

    // ---- reading sources (engine thread) ----
    double GetSourceValue(SourceId id, int voice) const;
    double GetSmoothedSourceValue(SourceId id, int voice) const;
    int VoiceCountOf(SourceId id) const;
    double VelocityOf(SourceId id, int voice) const;
    double SmoothedVelocityOf(SourceId id, int voice) const;
    uint8_t NoteOf(SourceId id, int voice) const;

    /// One sample's smoothing of a mouse measure: 1/480 of the way towards its raw value.
    static double SmoothMeasureStep(double raw, double smoothed) {
        return raw * (1.0 / 480.0) + smoothed * (479.0 / 480.0);
    }
    /// One sample's following of a control value: k = rate / 48000 of the way towards it (keep = 1 - k).
    static double FollowStep(double smoothed, double value, double k, double keep) {
        return keep * smoothed + k * value;
    }
    /// The smoothed value of mouse measure k (0-based) at every sample of the current block, known at
    /// its start (engine thread): at sample i, smoothedMeasures[k] holds MeasureSeries(k)[i].
    const double* MeasureSeries(int k) const;

    // ---- per-block state visible to the modules ----
    int EffectiveControlRate() const { return effectiveControlRate_; }
    double ControlPeriodMs() const { return controlPeriodMs_; }
    int BlockLength() const { return blockLength_; }
    int SamplePosition() const { return samplePosition_; }
    uint64_t SampleCounter() const { return sampleCounter_; }
    uint64_t ControlTickCounter() const { return controlTickCounter_; }

    /// Uniform integer 0..32767 from the engine's own generator (engine thread).
    int Rand() {
        randState_ = randState_ * 214013u + 2531011u;
        return int((randState_ >> 16) & 0x7FFF);
    }
    void Seed(uint32_t seed) { randState_ = seed; }

    /// The current device blocks (left, right) of device slot d; for inspection and tests.
    const OutputBlock& DeviceBlock(int d, bool right) const { return right ? right_[d] : left_[d]; }
    bool DeviceUsed(int d) const { return used_[d]; }
    double DeviceAdjust(int d) const { return deviceAdjust_[d]; }

    // ---- snapshot publication (model thread) ----
    PublishTicket PublishSnapshot(const EngineSnapshot* snapshot);
    bool HasPassed(const PublishTicket& ticket) const;
    void WaitUntilPassed(const PublishTicket& ticket) const;

    // ---- running ----
    /// Starts the engine thread (real time: 500 blocks a second, see BlocksPerWake).
    void StartEngine();
    /// Sets the stop flag; the thread ends after its current block or wait.
    void StopEngine();
    /// Waits until the thread has ended (after StopEngine).
    void JoinThreads();

    /// Virtual-clock mode: the caller drives the blocks on its own thread.
    void BeginOffline();
    void RenderBlock();
    void EndOffline();

private:
    void ThreadStart();
    void ProcessBlock();
    void ThreadEnd();
    void EngineThreadMain();
    void ControlTick(const EngineSnapshot& snap);
    void PrepareBlock(const EngineSnapshot& snap);
    void FollowControlValues();
    void FollowSlot(int f, double k, double keep);
    void CatchUpFollowing();
    void RouteSample(int i);
    void BlockEndInputs(const EngineSnapshot& snap);
    void SubmitDevices();

    IAudioOutput* audioOut_;
    IMidiInput* midiIn_;
    IAudioInput* audioIn_;
    IClock* clock_;
    IPointer* pointer_ = nullptr;
    NullAudioOutput nullOut_;
    NullMidiInput nullMidi_;
    NullAudioInput nullIn_;
    std::unique_ptr<IClock> ownClock_;
    std::array<const KindOps*, kKindCount> ops_{};

    std::mutex slotMutex_;

    std::atomic<const EngineSnapshot*> snapshot_{nullptr};
    std::atomic<uint64_t> blockSeq_{0};
    std::atomic<bool> inBlock_{false};

    // engine-thread state
    std::array<OutputBlock, kDeviceSlotCount> left_{};
    std::array<OutputBlock, kDeviceSlotCount> right_{};
    std::array<bool, kDeviceSlotCount> used_{};
    std::array<double, kDeviceSlotCount> deviceAdjust_{};
    uint64_t sampleCounter_ = 0;
    uint64_t controlTickCounter_ = 0;
    int effectiveControlRate_ = 0;
    double controlPeriodMs_ = 10000.0;
    int controlDivider_ = 0;
    double followStep_ = 0.0; // rate / 48000: how far followed values move per sample
    int blockLength_ = kBaseBlockLength;
    int samplePosition_ = 0;
    double t0_ = 0.0;
    uint32_t randState_ = 1;

    // What a block resolves once at its start (PrepareBlock).
    struct AudioPass {
        void (*evaluate)(Engine& engine, std::span<Module* const> modules);
        std::span<Module* const> modules;
    };
    std::array<AudioPass, kKindCount> audioPasses_{};
    int audioPassCount_ = 0;
    struct BlockRoute {
        const Relaxed<double>* value; // the slot or measure that plays
        double* left;                 // device block samples, or `unplayed_` when the channel is not played
        double* right;
    };
    std::array<BlockRoute, kSlotCount + kSinkCount> blockRoutes_{};
    std::array<double, kMaxBlockSamples> unplayed_{};
    int blockRouteCount_ = 0;
    std::array<double, kMeasureCount> blockRaw_{};
    std::array<double, kMeasureCount> blockStartSmoothed_{};
    // Worked out when first asked for in a block (a cache: MeasureSeries stays const for its readers).
    mutable std::array<std::array<double, kMaxBlockSamples>, kMeasureCount> measureSeries_{};
    mutable uint32_t seriesReady_ = 0;
    // The measures some module of the block reads: only they are smoothed at every sample, the others
    // once at the block end, to the same values.
    uint32_t measuresRead_ = 0;
    std::array<uint8_t, kKindCount> linkCount_{}, inputCount_{};
    std::array<bool, kKindCount> tickKind_{}; // evaluated on control ticks (else at every sample)
    // The control-rate slots whose smoothed values follow their values: first the
    // `followPerSampleCount_` that modules evaluated at every sample read (and neurons), stepped at every
    // sample; then the others, which owe `followPending_` steps until the next tick or block end.
    std::array<uint8_t, kSlotCount> followSlots_{};
    int followPerSampleCount_ = 0;
    int followPending_ = 0;
    // What of each followed slot its last step changed nothing of (values, velocities: both or either).
    static constexpr uint8_t kValuesSettled = 1, kVelocitiesSettled = 2;
    std::array<uint8_t, kSlotCount> followSettled_{};
    std::array<bool, kSlotCount> followEverySample_{}; // its value may change between control ticks
    int followSlotCount_ = 0;

    // The notes of a control-rate slot as a control tick began.
    struct SavedNotes {
        uint8_t count;
        std::array<uint8_t, kMaxVoices> note;
    };
    std::unique_ptr<std::array<SavedNotes, kSlotCount>> saved_;

    // threads
    std::thread engineThread_;
};

// ---------------------------------------------------------------- sources (every module reads them: inline)

inline double Engine::GetSourceValue(SourceId id, int voice) const {
    if (IsSlot(id)) return (voice >= 0 && voice < kMaxVoices) ? slots[id].value[voice].load() : 0.0;
    if (IsMeasure(id)) return smoothedMeasures[id - kFirstMeasure];
    return 0.0;
}

inline double Engine::GetSmoothedSourceValue(SourceId id, int voice) const {
    if (IsSlot(id)) return (voice >= 0 && voice < kMaxVoices) ? slots[id].smoothedValue[voice].load() : 0.0;
    if (IsMeasure(id)) return smoothedMeasures[id - kFirstMeasure];
    return 0.0;
}

inline int Engine::VoiceCountOf(SourceId id) const {
    if (id == kManualSource || IsMeasure(id)) return 1;
    if (IsSlot(id)) return slots[id].voiceCount;
    return 0;
}

inline double Engine::VelocityOf(SourceId id, int voice) const {
    if (id == kManualSource || IsMeasure(id)) return 127.0;
    if (IsSlot(id) && voice >= 0 && voice < kMaxVoices) return slots[id].velocity[voice];
    return 0.0;
}

inline double Engine::SmoothedVelocityOf(SourceId id, int voice) const {
    if (id == kManualSource || IsMeasure(id)) return 127.0;
    if (IsSlot(id) && voice >= 0 && voice < kMaxVoices) return slots[id].smoothedVelocity[voice];
    return 0.0;
}

inline uint8_t Engine::NoteOf(SourceId id, int voice) const {
    if (IsSlot(id) && voice >= 0 && voice < kMaxVoices) return slots[id].note[voice];
    return 0;
}

} // namespace mw
