#include "engine/engine.hpp"

#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <bit>
#include <bitset>
#include <cerrno>
#include <chrono>
#include <cmath>

#include "engine/kinds/kind_ops.hpp"
#include "model/module.hpp"
#include "model/params.hpp"

namespace mw {
namespace {

using K = ModuleKind;

// Control-rate kinds, in evaluation order.
constexpr std::array<ModuleKind, 19> kControlOrder{
    K::ControlSensitizer,  K::ControlNoteEnvelope, K::ControlModulator,          K::ControlEcho,
    K::ControlCombine,     K::ControlRange,        K::ControlClosestNote,        K::ControlOffset,
    K::ControlGain,        K::ControlLowCut,       K::ControlNoteRetard,         K::ControlInput,
    K::ControlNoteCombine, K::ControlStepFunction, K::ControlPolyphonicator,     K::ControlSensor,
    K::ControlSequence,    K::ControlMIDIInput,    K::ControlMIDIControllerInput};

// Audio-rate kinds, in evaluation order.
constexpr std::array<ModuleKind, 13> kAudioOrder{
    K::ControlNeuron, K::AudioOsc,          K::AudioDingDong,    K::AudioInput,      K::AudioLowPass,
    K::AudioHighPass, K::AudioStepFunction, K::AudioPitchShift,  K::AudioDistortion, K::AudioMultiDelay,
    K::AudioEcho,     K::AudioOutputSplit,  K::AudioInputCombine};

class SteadyClock final : public IClock {
public:
    double Milliseconds() override {
        using namespace std::chrono;
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    }
};

// Which device id a taken module slot plays to (its kind plays on an output device).
int32_t RoutedDevice(const Module& m, int outputIndex) {
    if (m.kind == K::AudioOutputSplit)
        return m.Device(outputIndex == 0 ? output_split::Output1 : output_split::Output2);
    return m.Device(0);
}

void TryRealTimePriority(int priority) {
    sched_param p{};
    p.sched_priority = priority;
    // Without the right to real-time scheduling this fails; normal scheduling is kept quietly.
    (void)pthread_setschedparam(pthread_self(), SCHED_FIFO, &p);
}

} // namespace

Engine::Engine()
    : audioOut_(&nullOut_), midiIn_(&nullMidi_), audioIn_(&nullIn_),
      ownClock_(std::make_unique<SteadyClock>()),
      saved_(std::make_unique<std::array<SavedNotes, kSlotCount>>()) {
    clock_ = ownClock_.get();
    for (int k = 0; k < kKindCount; ++k) {
        ops_[k] = &OpsFor(KindAt(k));
        const KindSchema& schema = Schema(KindAt(k));
        linkCount_[size_t(k)] = uint8_t(schema.links.size());
        inputCount_[size_t(k)] = uint8_t(schema.inputs.size());
    }
    for (ModuleKind kind : kControlOrder) tickKind_[size_t(Index(kind))] = true;
}

void Engine::SetKindOps(ModuleKind kind, const KindOps* ops) {
    ops_[Index(kind)] = ops ? ops : &OpsFor(kind);
}

Engine::~Engine() {
    StopEngine();
    JoinThreads();
}

void Engine::SetDevices(IAudioOutput* out, IMidiInput* midi, IAudioInput* in) {
    audioOut_ = out ? out : &nullOut_;
    midiIn_ = midi ? midi : &nullMidi_;
    audioIn_ = in ? in : &nullIn_;
}

void Engine::SetClock(IClock* clock) {
    clock_ = clock ? clock : ownClock_.get();
}

// ---------------------------------------------------------------- slots

int Engine::RegisterSlot(Module* module, ModuleKind kind, int outputIndex, const std::string& name,
                         const std::string& outputLabel, int preferred) {
    std::lock_guard lock(slotMutex_);
    const bool wished = preferred >= 0 && preferred < kSlotCount && !slots[size_t(preferred)].Taken();
    for (int s = wished ? preferred : 0; s < kSlotCount; ++s) {
        ModuleSlot& slot = slots[s];
        if (slot.Taken()) continue;
        for (int v = 0; v < kMaxVoices; ++v) {
            slot.value[v] = 0.0;
            slot.smoothedValue[v] = 0.0;
            slot.velocity[v] = 0.0;
            slot.smoothedVelocity[v] = 0.0;
        }
        const KindInfo& info = Info(kind);
        slot.kind = info.engineKind;
        slot.outputIndex = uint8_t(outputIndex);
        slot.name = name;
        slot.outputLabel = outputLabel;
        slot.velocity[0] = info.initialVelocity;
        slot.smoothedVelocity[0] = info.initialVelocity;
        slot.voiceCount = info.initialVoiceCount;
        slot.note[0] = 0;
        slot.isAudioRate = info.isAudioRate ? 1 : 0;
        slot.module = module; // taken from here on
        return s;
    }
    return -1;
}

void Engine::ReleaseSlot(int s, bool setKindFree) {
    if (s < 0 || s >= kSlotCount) return;
    std::lock_guard lock(slotMutex_);
    ModuleSlot& slot = slots[s];
    slot.module = nullptr;
    for (int v = 0; v < kMaxVoices; ++v) slot.value[v] = 0.0;
    if (setKindFree) slot.kind = kNoEngineKind;
}

int Engine::RegisterSink(Module* module, SinkType type) {
    std::lock_guard lock(slotMutex_);
    for (int s = 0; s < kSinkCount; ++s) {
        if (sinks[s].module.load() != nullptr) continue;
        sinks[s].type = uint8_t(type);
        sinks[s].module = module;
        return s;
    }
    return -1;
}

void Engine::ReleaseSink(int s) {
    if (s < 0 || s >= kSinkCount) return;
    std::lock_guard lock(slotMutex_);
    sinks[s].module = nullptr;
}

// ---------------------------------------------------------------- snapshots

PublishTicket Engine::PublishSnapshot(const EngineSnapshot* snapshot) {
    snapshot_.store(snapshot, std::memory_order_seq_cst);
    PublishTicket t;
    t.engineIdle = !inBlock_.load(std::memory_order_seq_cst);
    t.blockSeq = blockSeq_.load(std::memory_order_seq_cst);
    return t;
}

bool Engine::HasPassed(const PublishTicket& t) const {
    // A block that was running when the snapshot was published has ended once the block sequence moved
    // on or no block is running; any block begun after the publication reads the new snapshot.
    return t.engineIdle || blockSeq_.load(std::memory_order_seq_cst) != t.blockSeq ||
           !inBlock_.load(std::memory_order_seq_cst);
}

void Engine::WaitUntilPassed(const PublishTicket& t) const {
    while (!HasPassed(t)) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// ---------------------------------------------------------------- the block

void Engine::ThreadStart() {
    engineRunning = true;
    deviceAdjust_.fill(0.0);
    blockCounter = 0;
    sampleCounter_ = 0;
    controlTickCounter_ = 0;
    t0_ = clock_->Milliseconds();
}

void Engine::ThreadEnd() {
    audioOut_->CloseAll();
    midiIn_->CloseAllMidi();
    audioIn_->CloseAllInput();
    engineRunning = false;
}

void Engine::ProcessBlock() {
    inBlock_.store(true, std::memory_order_seq_cst);
    const EngineSnapshot* snapPtr = snapshot_.load(std::memory_order_seq_cst);
    static const EngineSnapshot kEmpty{};
    const EngineSnapshot& snap = snapPtr ? *snapPtr : kEmpty;

    const int64_t blocks = blockCounter;
    if (blocks > 0 && blocks % 1000 == 0) {
        const double t = clock_->Milliseconds();
        blockTime = (t - t0_) * 0.001;
        t0_ = t;
    }

    const int8_t adjust = blockAdjust;
    blockLength_ = kBaseBlockLength + adjust;
    for (int d = 0; d < kDeviceSlotCount; ++d) {
        if (used_[d] || left_[d].adjust != adjust) {
            left_[d].samples.fill(0.0);
            right_[d].samples.fill(0.0);
        }
        left_[d].adjust = adjust;
        right_[d].adjust = adjust;
        used_[d] = false;
    }

    const double rate = controlRate;
    if (rate == 0.0) {
        controlDivider_ = 0;
        effectiveControlRate_ = 0;
        controlPeriodMs_ = 10000.0;
    } else {
        double n = std::trunc(kSampleRate / rate);
        if (!(n >= 1.0)) n = 1.0; // rates above 48000 (or nonsense) tick every sample
        if (n > kSampleRate) n = kSampleRate;
        controlDivider_ = int(n);
        effectiveControlRate_ = kSampleRate / controlDivider_;
        controlPeriodMs_ = 1000.0 / effectiveControlRate_;
    }
    followStep_ = double(effectiveControlRate_) / kSampleRate;

    // The sampler writes the raw measures every 10 ms; a block reads them once.
    for (int k = 0; k < kMeasureCount; ++k) {
        blockRaw_[size_t(k)] = rawMeasures[size_t(k)].load();
        blockStartSmoothed_[size_t(k)] = smoothedMeasures[size_t(k)].load();
    }
    seriesReady_ = 0;
    PrepareBlock(snap);

    int sinceTick = controlDivider_ != 0 ? int(sampleCounter_ % uint64_t(controlDivider_)) : 0;
    for (int i = 0; i < blockLength_; ++i) {
        samplePosition_ = i;
        for (uint32_t read = measuresRead_; read != 0; read &= read - 1) {
            const int k = std::countr_zero(read);
            smoothedMeasures[size_t(k)] =
                SmoothMeasureStep(blockRaw_[size_t(k)], smoothedMeasures[size_t(k)]);
        }

        if (controlDivider_ != 0) {
            if (sinceTick == 0) ControlTick(snap); // a tick where the sample counter is a multiple of it
            if (++sinceTick == controlDivider_) sinceTick = 0;
            FollowControlValues();
        }

        for (int p = 0; p < audioPassCount_; ++p) {
            const AudioPass& pass = audioPasses_[size_t(p)];
            pass.evaluate(*this, pass.modules);
        }
        RouteSample(i);
        ++sampleCounter_;
    }

    CatchUpFollowing();

    // Every measure where the sample loop's steps lead: those no module reads are stepped here, all
    // side by side (the same steps, so the same values).
    // (an even count of lanes, so that the compiler steps them in pairs)
    constexpr int kLanes = (kMeasureCount + 1) / 2 * 2;
    std::array<double, kLanes> smoothed{}, raw{};
    std::copy(blockStartSmoothed_.begin(), blockStartSmoothed_.end(), smoothed.begin());
    std::copy(blockRaw_.begin(), blockRaw_.end(), raw.begin());
    for (int i = 0; i < blockLength_; ++i)
        for (int k = 0; k < kLanes; ++k)
            smoothed[size_t(k)] = SmoothMeasureStep(raw[size_t(k)], smoothed[size_t(k)]);
    for (int k = 0; k < kMeasureCount; ++k) smoothedMeasures[size_t(k)] = smoothed[size_t(k)];

    BlockEndInputs(snap);
    SubmitDevices();

    for (Module* m : snap.lists[Index(K::AudioOutputAnalyzer)]) {
        const KindOps& ops = Ops(K::AudioOutputAnalyzer);
        if (ops.afterSubmit) ops.afterSubmit(*this, *m);
    }

    audioOut_->EndBlock();
    blockCounter = blocks + 1;
    blockSeq_.fetch_add(1, std::memory_order_seq_cst);
    inBlock_.store(false, std::memory_order_seq_cst);
}

void Engine::ControlTick(const EngineSnapshot& snap) {
    ++controlTickCounter_;
    CatchUpFollowing(); // the modules evaluated here may read any smoothed value
    std::fill_n(followSettled_.begin(), followSlotCount_, uint8_t(0));
    // The notes each slot sounds before the tick. (The modules evaluated here write values and notes,
    // never the smoothed values: those stay in the slots until they are matched to the new notes.)
    auto& saved = *saved_;
    for (uint8_t s : snap.moduleSlots) {
        const ModuleSlot& slot = slots[s];
        SavedNotes& sv = saved[s];
        sv.count = 0;
        if (slot.kind == kNoEngineKind || slot.isAudioRate || slot.voiceCount == 0) continue;
        const uint8_t n = slot.voiceCount;
        sv.count = n;
        for (int v = 0; v < n; ++v) sv.note[size_t(v)] = slot.note[v];
    }

    for (ModuleKind kind : kControlOrder) {
        const auto& list = snap.lists[Index(kind)];
        if (list.empty()) continue;
        const KindOps& ops = Ops(kind);
        if (ops.evaluate) ops.evaluate(*this, list);
    }

    // Smoothing follows a note, not a voice position: each voice takes the smoothed value and velocity
    // of the first voice that sounded its note before the tick; a new note starts at its value, silent.
    for (uint8_t s : snap.moduleSlots) {
        ModuleSlot& slot = slots[s];
        const SavedNotes& sv = saved[s];
        if (sv.count == 0 || slot.kind == kNoEngineKind || slot.isAudioRate) continue;
        const int n = std::min<int>(slot.voiceCount, kMaxVoices);
        // The usual case, the same notes in the same places, reads the old values in place: a voice
        // keeps its own unless an earlier place held its note (that place keeps its own). Otherwise the
        // old values are copied first and every voice looks for its note among them.
        int same = 0;
        while (same < n && same < sv.count && slot.note[same] == sv.note[size_t(same)]) ++same;
        const bool inPlace = same == n;
        std::array<double, kMaxVoices> value, velocity;
        if (!inPlace)
            for (int j = 0; j < sv.count; ++j) {
                value[size_t(j)] = slot.smoothedValue[j];
                velocity[size_t(j)] = slot.smoothedVelocity[j];
            }
        for (int v = inPlace ? 1 : 0; v < n; ++v) {
            const uint8_t note = slot.note[v];
            int found = -1;
            for (int j = 0; j < (inPlace ? v : sv.count); ++j)
                if (sv.note[size_t(j)] == note) {
                    found = j;
                    break;
                }
            if (inPlace) {
                if (found >= 0) {
                    slot.smoothedValue[v] = slot.smoothedValue[found].load();
                    slot.smoothedVelocity[v] = slot.smoothedVelocity[found].load();
                }
            } else if (found >= 0) {
                slot.smoothedValue[v] = value[size_t(found)];
                slot.smoothedVelocity[v] = velocity[size_t(found)];
            } else {
                slot.smoothedValue[v] = slot.value[v].load();
                slot.smoothedVelocity[v] = 0.0;
            }
        }
    }
}

[[gnu::always_inline]] inline void Engine::FollowSlot(int f, double k, double keep) {
    // Values and velocities whose step changed nothing stay where they are until the next control tick
    // changes them: their steps are skipped, with the same result. (Velocities change only with notes,
    // so they mostly rest while values glide.)
    uint8_t& settled = followSettled_[size_t(f)];
    ModuleSlot& slot = slots[followSlots_[size_t(f)]];
    const int n = std::min<int>(slot.voiceCount, kMaxVoices);
    // One step of n voices; whether any moved is gathered without branching (which voice moves is not
    // predictable).
    const auto step = [n, k, keep](std::array<Relaxed<double>, kMaxVoices>& smoothed,
                                   const std::array<Relaxed<double>, kMaxVoices>& target) {
        bool moved = false;
        for (int v = 0; v < n; ++v) {
            const double now = smoothed[size_t(v)].load();
            const double next = FollowStep(now, target[size_t(v)], k, keep);
            smoothed[size_t(v)] = next;
            moved |= !(next == now); // (NaN: moved)
        }
        return moved;
    };
    const bool valuesMoved = !(settled & kValuesSettled) && step(slot.smoothedValue, slot.value);
    const bool velocitiesMoved =
        !(settled & kVelocitiesSettled) && step(slot.smoothedVelocity, slot.velocity);
    // (a neuron's value changes at every sample, not only on ticks: it is always stepped)
    if (followEverySample_[size_t(f)]) return;
    settled = uint8_t((valuesMoved ? 0 : kValuesSettled) | (velocitiesMoved ? 0 : kVelocitiesSettled));
}

void Engine::FollowControlValues() {
    const double k = followStep_;
    const double keep = 1.0 - k;
    for (int f = 0; f < followPerSampleCount_; ++f)
        if (followSettled_[size_t(f)] != (kValuesSettled | kVelocitiesSettled)) FollowSlot(f, k, keep);
    ++followPending_;
}

void Engine::CatchUpFollowing() {
    // The steps the sample loop would have taken, voice by voice: the same values. A voice whose step
    // changes nothing stays there, and so needs no more steps.
    const double k = followStep_;
    const double keep = 1.0 - k;
    const int steps = followPending_;
    followPending_ = 0;
    if (steps == 0) return;
    const auto follow = [k, keep, steps](Relaxed<double>& smoothed, double target) {
        double now = smoothed.load();
        for (int i = 0; i < steps; ++i) {
            const double next = FollowStep(now, target, k, keep);
            if (next == now) break;
            now = next;
        }
        smoothed = now;
    };
    for (int f = followPerSampleCount_; f < followSlotCount_; ++f) {
        ModuleSlot& slot = slots[followSlots_[size_t(f)]];
        const int n = std::min<int>(slot.voiceCount, kMaxVoices);
        for (int v = 0; v < n; ++v) {
            follow(slot.smoothedValue[size_t(v)], slot.value[size_t(v)]);
            follow(slot.smoothedVelocity[size_t(v)], slot.velocity[size_t(v)]);
        }
    }
}

namespace {

// The device slot and channels an OutputDeviceId plays on: below 99 both channels of device id + 1,
// 99..198 the left channel of device id - 99, from 199 the right channel of device id - 199.
bool DeviceChannels(int32_t id, int& device, bool& left, bool& right) {
    if (id < 99) {
        device = id + 1;
        left = right = true;
    } else if (id < 199) {
        device = id - 99;
        left = true;
        right = false;
    } else {
        device = id - 199;
        left = false;
        right = true;
    }
    return device >= 0 && device < kDeviceSlotCount;
}

} // namespace

const double* Engine::MeasureSeries(int k) const {
    const uint32_t bit = 1u << k;
    double* series = measureSeries_[size_t(k)].data();
    if (!(seriesReady_ & bit)) {
        // The same steps as the sample loop takes, from the same start: the same values.
        double smoothed = blockStartSmoothed_[size_t(k)];
        const double raw = blockRaw_[size_t(k)];
        for (int i = 0; i < blockLength_; ++i) series[i] = smoothed = SmoothMeasureStep(raw, smoothed);
        seriesReady_ |= bit;
    }
    return series;
}

void Engine::PrepareBlock(const EngineSnapshot& snap) {
    // The measures the modules' links and inputs read (a link made during the block reads its measure
    // as the block began until the next one).
    // So are the slots that modules evaluated at every sample read: only their smoothed values are
    // followed at every sample; the others are caught up at control ticks and block ends, where the
    // modules evaluated on ticks read them. (A link made during the block to such a slot reads it as it
    // stood at the last tick until the next tick or block.)
    uint32_t read = 0;
    std::bitset<kSlotCount> slotsReadPerSample;
    for (size_t kind = 0; kind < snap.lists.size(); ++kind) {
        const bool perSample = !tickKind_[kind];
        const auto note = [&](SourceId src) {
            if (IsMeasure(src)) read |= 1u << (src - kFirstMeasure);
            if (perSample && IsSlot(src)) slotsReadPerSample.set(size_t(src));
        };
        for (const Module* m : snap.lists[kind]) {
            for (int j = 0; j < linkCount_[kind]; ++j) note(m->links[j].source);
            for (int j = 0; j < inputCount_[kind]; ++j) note(m->inputs[j]);
        }
    }
    measuresRead_ = read;

    // The audio kinds that have modules, in their order; each resolves what stays fixed for the block.
    audioPassCount_ = 0;
    for (ModuleKind kind : kAudioOrder) {
        const auto& list = snap.lists[Index(kind)];
        if (list.empty()) continue;
        const KindOps& ops = Ops(kind);
        if (ops.beginBlock) ops.beginBlock(*this, list);
        if (ops.evaluate) audioPasses_[size_t(audioPassCount_++)] = {ops.evaluate, list};
    }

    // The control-rate slots whose smoothed values follow their values.
    // Those followed at every sample come first.
    followSlotCount_ = 0;
    for (const bool perSample : {true, false}) {
        for (uint8_t s : snap.moduleSlots) {
            const ModuleSlot& slot = slots[s];
            if (slot.kind == kNoEngineKind || slot.isAudioRate) continue;
            const bool neuron = slot.kind == Info(K::ControlNeuron).engineKind;
            if ((neuron || slotsReadPerSample.test(s)) != perSample) continue;
            followSettled_[size_t(followSlotCount_)] = 0;
            followEverySample_[size_t(followSlotCount_)] = neuron;
            followSlots_[size_t(followSlotCount_++)] = s;
        }
        if (perSample) followPerSampleCount_ = followSlotCount_;
    }
    followPending_ = 0;

    // The routes with their devices: a device chosen during a block plays from the next one.
    blockRouteCount_ = 0;
    unplayed_.fill(0.0); // (only ever added to: kept from growing without end)
    const bool silent = makeNoSound;
    for (const EngineSnapshot::Route r : snap.routes) {
        const Relaxed<double>* value = nullptr;
        int32_t dev = kNoOutputDevice;
        if (r.sink) {
            const Module* m = sinks[r.slot].module;
            if (!m || m->kind != K::AudioOutput) continue;
            const SourceId in = m->Input(output::Input);
            dev = m->Device(output::Output);
            if (in == kNoSource || dev == kNoOutputDevice) continue;
            if (IsSlot(in))
                value = &slots[size_t(in)].smoothedValue[0];
            else if (IsMeasure(in))
                value = &smoothedMeasures[size_t(in - kFirstMeasure)];
        } else {
            const ModuleSlot& slot = slots[r.slot];
            const Module* m = slot.module;
            if (!m) continue;
            dev = RoutedDevice(*m, slot.outputIndex);
            if (dev == kNoOutputDevice) continue;
            value = &slot.smoothedValue[0];
        }
        int d = 0;
        bool left = false, right = false;
        if (!DeviceChannels(dev, d, left, right)) continue;
        used_[size_t(d)] = true;
        if (silent || !value) continue; // silence, or a source that reads as 0: the device plays, unchanged
        // (a channel the route does not play gets its samples in a block nobody reads: no test per sample)
        blockRoutes_[size_t(blockRouteCount_++)] = {
            value, left ? left_[size_t(d)].samples.data() : unplayed_.data(),
            right ? right_[size_t(d)].samples.data() : unplayed_.data()};
    }
}

void Engine::RouteSample(int i) {
    for (int r = 0; r < blockRouteCount_; ++r) {
        const BlockRoute& route = blockRoutes_[size_t(r)];
        const double v = route.value->load();
        route.left[i] += v;
        route.right[i] += v;
    }
}

bool PlaysOnOutputDevice(ModuleKind kind) {
    switch (kind) {
    case K::AudioOsc:
    case K::AudioEcho:
    case K::AudioPitchShift:
    case K::AudioInputCombine:
    case K::AudioMultiDelay:
    case K::AudioDistortion:
    case K::AudioDingDong:
    case K::AudioLowPass:
    case K::AudioHighPass:
    case K::AudioStepFunction:
    case K::AudioOutputSplit:
        return true;
    default:
        return false;
    }
}

void Engine::BlockEndInputs(const EngineSnapshot& snap) {
    for (Module* m : snap.lists[Index(K::AudioInput)]) {
        const KindOps& ops = Ops(K::AudioInput);
        if (ops.blockEnd) ops.blockEnd(*this, *m);
    }

    if (snap.hasMidiModules) {
        midiIn_->BeginMidiBlock();
        for (Module* m : snap.lists[Index(K::ControlMIDIInput)])
            if (int32_t d = m->Int(midi_input::InputDevice); d != kNoMidiDevice) midiIn_->UseMidiDevice(d);
        for (Module* m : snap.lists[Index(K::ControlSequence)])
            if (int32_t d = m->Int(sequence::RecordingSource); d != kNoMidiDevice) midiIn_->UseMidiDevice(d);
        for (Module* m : snap.lists[Index(K::ControlMIDIControllerInput)])
            if (int32_t d = m->Int(midi_slider::InputDevice); d != kNoMidiDevice) midiIn_->UseMidiDevice(d);
        midiIn_->EndMidiBlock();
    }

    audioIn_->BeginInputBlock();
    for (Module* m : snap.lists[Index(K::AudioInput)])
        if (int32_t d = m->Int(audio_input::InputDevice); d != kNoOutputDevice) audioIn_->UseInputDevice(d);
    audioIn_->EndInputBlock();
}

void Engine::SubmitDevices() {
    audioOut_->BeginBlock();
    bool first = true;
    for (int d = 0; d < kDeviceSlotCount; ++d) {
        if (!used_[d]) continue;
        double D = deviceAdjust_[d];
        for (OutputBlock* b : {&left_[d], &right_[d]}) {
            int count = b->adjust;
            if (count != D) {
                if (count > D) {
                    count = int(std::trunc(D));
                } else {
                    const int repeats = int(std::trunc(D - count));
                    for (int r = 0; r < repeats; ++r) {
                        b->samples[size_t(kBaseBlockLength + count)] = b->samples[size_t(95 + count)];
                        ++count;
                    }
                }
                b->adjust = int8_t(count);
            }
        }
        int64_t queued = 0;
        audioOut_->Submit(99 + d, left_[d], &queued);
        audioOut_->Submit(199 + d, right_[d], &queued);

        const double x = 2.0 * double(queued) * (96.0 + D) / 96.0;
        if (steerLatency) {
            const int32_t wanted = outputLatencyMs;
            if (wanted < 60)
                D = 2.0 * (blockTime * 0.5 * wanted - x);
            else
                D = D + (wanted - x) / 15.0;
            if (!(D < 96))
                D = 95; // NaN-safe
            else if (D <= -96)
                D = -95;
            deviceAdjust_[d] = D;
        }
        if (first) {
            first = false;
            if (steerLatency) blockAdjust = int8_t(std::trunc(D));
            measuredLatency = 0.99 * measuredLatency + 0.01 * x;
        }
    }
}

// ---------------------------------------------------------------- threads

int Engine::BlocksPerWake(int32_t desiredLatencyMs) {
    return std::clamp(desiredLatencyMs / (3 * kBlockPeriodMs), 1, kMaxBlocksPerWake);
}

void Engine::EngineThreadMain() {
    if (realTimePriority) TryRealTimePriority(sched_get_priority_max(SCHED_FIFO));
    ThreadStart();
    // Blocks are timed by sleeping to absolute deadlines on this thread itself: a separate timer thread
    // waking it would double the thread switches of live playing for nothing. Each wake-up makes a few
    // blocks in a row, as many as fit into a third of the desired latency (at most 8 ms' worth), and
    // only then wakes the output writers and the capture threads: 500 blocks a second all the same, and the
    // device is fed at least three times per latency, as a sound server feeds a card in periods. A wake-up
    // that overran the next deadline starts at once; one that fell behind by more than two periods starts the
    // schedule afresh instead of racing to catch up.
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    while (!stopFlag) {
        const int blocks = BlocksPerWake(outputLatencyMs);
        const long period = blocks * kBlockPeriodMs * 1'000'000L;
        next.tv_nsec += period;
        if (next.tv_nsec >= 1'000'000'000) {
            next.tv_nsec -= 1'000'000'000;
            ++next.tv_sec;
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if ((now.tv_sec - next.tv_sec) * 1'000'000'000L + (now.tv_nsec - next.tv_nsec) > 2 * period)
            next = now;
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
        }
        for (int b = 0; b < blocks && !stopFlag; ++b) ProcessBlock();
        audioOut_->SendEnded();
        audioIn_->RequeueCaptured();
    }
    ThreadEnd();
}

void Engine::StartEngine() {
    JoinThreads();
    stopFlag = false;
    engineRunning = true;
    engineThread_ = std::thread([this] { EngineThreadMain(); });
}

void Engine::StopEngine() {
    stopFlag = true;
}

void Engine::JoinThreads() {
    if (engineThread_.joinable()) engineThread_.join();
}

// ---------------------------------------------------------------- offline

namespace {
class SampleClock final : public IClock {
public:
    explicit SampleClock(const Engine& e) : e_(e) {}
    double Milliseconds() override { return double(e_.SampleCounter()) / (kSampleRate / 1000.0); }

private:
    const Engine& e_;
};
} // namespace

void Engine::BeginOffline() {
    if (clock_ == ownClock_.get()) {
        ownClock_ = std::make_unique<SampleClock>(*this);
        clock_ = ownClock_.get();
    }
    stopFlag = false;
    ThreadStart();
}

void Engine::RenderBlock() {
    ProcessBlock();
}

void Engine::EndOffline() {
    ThreadEnd();
}

} // namespace mw
