#pragma once
// The audio input service underneath the WaveInManager: device enumeration and one capture stream per
// open device. Implemented by ALSA (platform/alsa_input.*) and in memory (sources/memory_input.*).
//
// Every opened stream captures 48000 Hz, 1 channel, signed 16-bit, in buffers of 96 samples (2 ms).

#include <cstdint>
#include <memory>
#include <string>

namespace mw {

inline constexpr int kCaptureBufferSamples = 96;

/// The buffer queued with `tag` has been filled: `count` samples (normally 96). Called on the device's
/// own thread (or the thread that advances an in-memory device), in the order the buffers were queued.
/// The receiver must only copy the samples and touch atomics.
using InputDoneFn = void (*)(void* context, uint32_t tag, const int16_t* samples, uint32_t count);

class IInputStream {
public:
    /// Stops capturing, drops the queued buffers and closes; once it returns no notice arrives.
    virtual ~IInputStream() = default;
    /// Queues one capture buffer behind the ones already queued; never waits. false: not taken.
    virtual bool AddBuffer(uint32_t tag) = 0;
    /// Starts capturing into the queued buffers; never waits.
    virtual bool Start() = 0;
    /// The device failed beyond recovery and should be reopened.
    virtual bool Failed() const { return false; }
    /// Overruns met (captured audio with no buffer to take it, or the device's own).
    virtual uint64_t Overruns() const { return 0; }
};

enum class InputOpenStatus { Ok, Busy, Failed };

class IInputBackend {
public:
    virtual ~IInputBackend() = default;
    /// Number of devices 0..n-1 (device -1, the system's default, comes on top).
    virtual int DeviceCount() = 0;
    /// The product name of a device (-1 = default); false when its capabilities cannot be read.
    virtual bool DeviceName(int device, std::string& name) = 0;
    /// Opens a device; null on failure, with status Busy when another program holds it. May block.
    virtual std::unique_ptr<IInputStream> Open(int device, InputDoneFn done, void* context,
                                               InputOpenStatus& status) = 0;
};

} // namespace mw
