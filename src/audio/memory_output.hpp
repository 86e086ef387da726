#pragma once
// Output devices in memory, for tests and offline rendering. Each device consumes frames on a clock —
// virtual (Advance, called by whoever drives the rendering) or real (StartRealTimeClock) — plays its
// queued buffers in order, reports each buffer done when its last frame has been consumed, and keeps the
// played frames (or discards them).
//
// Offline rendering: with a WaveOutManager in manual-pump mode, call per engine block
//     engine.RenderBlock(); outputs.PumpWriters(); backend.Advance(uint32_t(engine.BlockLength()));
// Everything then runs on the caller's thread in a fixed order, and Played(device) holds exactly the
// frames the device played.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/memory_devices.hpp"
#include "audio/output_backend.hpp"

namespace mw {

class MemoryOutputBackend final : public IOutputBackend {
public:
    struct DeviceDesc {
        std::string name;
        bool nameFails = false; // its capabilities cannot be read
        bool openFails = false;
    };

    /// devices are 0..n-1; the default device -1 is named defaultName (empty: it has no capabilities).
    /// One device 0 "Memory Output" and the default "Memory Default Output"; frames are kept.
    MemoryOutputBackend();
    MemoryOutputBackend(std::vector<DeviceDesc> devices, std::string defaultName, bool keepFrames = true);
    ~MemoryOutputBackend() override;
    MemoryOutputBackend(const MemoryOutputBackend&) = delete;
    MemoryOutputBackend& operator=(const MemoryOutputBackend&) = delete;

    int DeviceCount() override;
    bool DeviceName(int device, std::string& name) override;
    std::unique_ptr<IOutputStream> Open(int device, OutputDoneFn done, void* context) override;

    void SetOpenFails(int device, bool fails);
    void SetNameFails(int device, bool fails);

    /// Consumes `frames` frames on every open device; done notices are sent from this call.
    void Advance(uint32_t frames);
    /// Advances by the real time that passes (48 frames per millisecond) on a thread of its own.
    void StartRealTimeClock();
    void StopRealTimeClock();

    /// The frames device `device` has played (interleaved left, right), over all its openings.
    std::vector<int16_t> Played(int device) const;
    /// Frames consumed while nothing was queued.
    uint64_t SilentFrames(int device) const;
    /// Buffers written and not yet played.
    size_t QueuedBuffers(int device) const;
    int OpenCount(int device) const;
    int CloseCount(int device) const;
    bool IsOpen(int device) const;
    void ClearPlayed();

private:
    class Stream;
    struct DeviceState : MemoryDevice<DeviceDesc> {
        std::vector<int16_t> played;
        uint64_t silentFrames = 0;
    };

    const bool keepFrames_;
    MemoryDeviceTable<DeviceState, Stream> devices_{-1};
    RealTimeFrameClock clock_;
};

} // namespace mw
