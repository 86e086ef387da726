#pragma once
// What the engine needs from the device managers. The engine drives each manager once per block:
// begin, use/submit per module, end. The real managers (ALSA-backed) and in-memory ones implement these.

#include <array>
#include <cstdint>

namespace mw {

inline constexpr int kBaseBlockLength = 96;
inline constexpr int kMaxBlockSamples = 192;

/// One channel of an engine block: 96 + adjust samples, 1.0 = 32 steps of the 16-bit output.
struct OutputBlock {
    std::array<double, kMaxBlockSamples> samples{};
    int8_t adjust = 0;
    int Count() const { return kBaseBlockLength + adjust; }
};

class IAudioOutput {
public:
    virtual ~IAudioOutput() = default;
    virtual void BeginBlock() = 0;
    /// id: OutputDeviceId with 99..198 = left of device id-100, >= 199 = right of device id-200.
    virtual bool Submit(int32_t id, const OutputBlock& block, int64_t* queued) = 0;
    virtual void EndBlock() = 0;
    /// The blocks ended so far may go to the devices now. The live engine calls this after the last
    /// block of each wake-up; a block is never sent before its EndBlock.
    virtual void SendEnded() {}
    /// Mixed block of the device as it will be played, on the -1..1 scale.
    virtual bool ReadBack(int32_t id, OutputBlock& out, bool openIfClosed, bool noHalving) = 0;
    virtual void CloseAll() = 0;
};

inline constexpr int kMidiNoteTableSize = 16 * 128;
inline constexpr uint64_t kNoNoteStamp = ~uint64_t(0); // no copy made yet

class IMidiInput {
public:
    virtual ~IMidiInput() = default;
    virtual void BeginMidiBlock() = 0;
    virtual bool UseMidiDevice(int32_t deviceNumber) = 0;
    /// Copies a device's note velocities (16 channels x 128 notes) into `out`, unless they are unchanged
    /// since the copy that left `stamp`: then `out` keeps that copy. `stamp` names the table's state (start
    /// with kNoNoteStamp). False when the device is not in use.
    virtual bool CopyNoteVelocities(int32_t deviceNumber, std::array<uint8_t, kMidiNoteTableSize>& out,
                                    uint64_t& stamp) = 0;
    virtual double ReadLastValue(int32_t deviceNumber, int32_t index) = 0;
    virtual int32_t GetLastIndex(int32_t deviceNumber) = 0;
    virtual void EndMidiBlock() = 0;
    virtual void CloseAllMidi() = 0;
};

inline constexpr int kInputBufferSamples = 96;

class IAudioInput {
public:
    virtual ~IAudioInput() = default;
    virtual void BeginInputBlock() = 0;
    virtual bool UseInputDevice(int32_t deviceNumber) = 0;
    /// Two captured buffers of 96 mono 16-bit samples, once latencyMs worth is buffered.
    virtual bool ReadInput(int32_t deviceNumber, uint64_t& position,
                           std::array<int16_t, kInputBufferSamples>& first,
                           std::array<int16_t, kInputBufferSamples>& second, int32_t latencyMs) = 0;
    virtual void EndInputBlock() = 0;
    /// What was captured so far may be given back to the devices now. The live engine calls this after
    /// the last block of each wake-up.
    virtual void RequeueCaptured() {}
    virtual void CloseAllInput() = 0;
};

/// Devices that are absent: nothing opens, nothing is heard.
class NullAudioOutput final : public IAudioOutput {
public:
    void BeginBlock() override {}
    bool Submit(int32_t, const OutputBlock&, int64_t* queued) override {
        if (queued) *queued = 0;
        return false;
    }
    void EndBlock() override {}
    bool ReadBack(int32_t, OutputBlock&, bool, bool) override { return false; }
    void CloseAll() override {}
};

class NullMidiInput final : public IMidiInput {
public:
    void BeginMidiBlock() override {}
    bool UseMidiDevice(int32_t) override { return false; }
    bool CopyNoteVelocities(int32_t, std::array<uint8_t, kMidiNoteTableSize>&, uint64_t&) override {
        return false;
    }
    double ReadLastValue(int32_t, int32_t) override { return 0.0; }
    int32_t GetLastIndex(int32_t) override { return -1; }
    void EndMidiBlock() override {}
    void CloseAllMidi() override {}
};

class NullAudioInput final : public IAudioInput {
public:
    void BeginInputBlock() override {}
    bool UseInputDevice(int32_t) override { return false; }
    bool ReadInput(int32_t, uint64_t&, std::array<int16_t, kInputBufferSamples>&,
                   std::array<int16_t, kInputBufferSamples>&, int32_t) override {
        return false;
    }
    void EndInputBlock() override {}
    void CloseAllInput() override {}
};

/// Milliseconds of a processor clock; real time or the engine's own sample count.
class IClock {
public:
    virtual ~IClock() = default;
    virtual double Milliseconds() = 0;
};

} // namespace mw
