#pragma once
// Audio input devices in memory, for tests and offline rendering. Each device plays a sample array into
// the buffers queued on it, 96 samples per buffer, on a virtual clock (Advance) or in real time
// (StartRealTimeClock). A device's read position moves only while a stream on it is capturing, and goes on
// from there when it is opened again; past the end of the array it delivers zeros (or starts again from
// the beginning when it loops). Samples captured when no buffer is queued are dropped and counted.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/memory_devices.hpp"
#include "sources/input_backend.hpp"

namespace mw {

class MemoryInputBackend final : public IInputBackend {
public:
    struct DeviceDesc {
        std::string name;
        std::vector<int16_t> samples;
        bool loop = false;
        bool busy = false; // another program holds it
        bool openFails = false;
        bool nameFails = false;
    };

    /// devices are 0..n-1; the default device -1 plays defaultDevice.
    /// Only the default device "Memory Default Input", with no samples (it delivers zeros).
    MemoryInputBackend();
    MemoryInputBackend(std::vector<DeviceDesc> devices, DeviceDesc defaultDevice);
    ~MemoryInputBackend() override;
    MemoryInputBackend(const MemoryInputBackend&) = delete;
    MemoryInputBackend& operator=(const MemoryInputBackend&) = delete;

    int DeviceCount() override;
    bool DeviceName(int device, std::string& name) override;
    std::unique_ptr<IInputStream> Open(int device, InputDoneFn done, void* context,
                                       InputOpenStatus& status) override;

    void SetBusy(int device, bool busy);
    void SetSamples(int device, std::vector<int16_t> samples, bool loop);

    /// Captures `frames` samples on every capturing device; notices are sent from this call.
    void Advance(uint32_t frames);
    void StartRealTimeClock();
    void StopRealTimeClock();

    /// Buffers queued on the device and not yet filled.
    size_t QueuedBuffers(int device) const;
    uint64_t DroppedBuffers(int device) const;
    int OpenCount(int device) const;
    bool IsOpen(int device) const;

private:
    class Stream;
    struct DeviceState : MemoryDevice<DeviceDesc> {
        size_t cursor = 0;
        uint64_t dropped = 0;
    };

    MemoryDeviceTable<DeviceState, Stream> devices_{-1};
    RealTimeFrameClock clock_;
};

} // namespace mw
