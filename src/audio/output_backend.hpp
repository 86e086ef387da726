#pragma once
// The audio output service underneath the WaveOutManager: device enumeration and one stream per open
// device. Implemented by ALSA (platform/alsa_output.*) and in memory (audio/memory_output.*).
//
// Every opened stream plays 48000 Hz, 2 channels, signed 16-bit little-endian, frames left then right.

#include <cstdint>
#include <memory>
#include <string>

namespace mw {

inline constexpr int kDeviceSampleRate = 48000;

/// The device has finished playing the buffer written with `tag`. Called on the device's own thread (or
/// on the thread that advances an in-memory device's clock), in the order the buffers were written.
/// The receiver must only touch atomics: it runs while the backend may hold its own locks.
using OutputDoneFn = void (*)(void* context, uint32_t tag);

class IOutputStream {
public:
    /// Drops what is still queued and closes the device; once it returns no done notice arrives.
    virtual ~IOutputStream() = default;
    /// Queues one buffer behind the ones already queued; never waits for the device. The frames must stay
    /// valid and unchanged until the buffer's done notice (or the stream's destruction).
    /// false: the buffer was not taken (no notice will come for it).
    virtual bool Write(const int16_t* frames, uint32_t frameCount, uint32_t tag) = 0;
    /// The device failed beyond recovery; the stream takes nothing more and should be reopened.
    virtual bool Failed() const { return false; }
    /// Underruns met (and recovered) so far.
    virtual uint64_t Underruns() const { return 0; }
};

class IOutputBackend {
public:
    virtual ~IOutputBackend() = default;
    /// Number of devices 0..n-1 (device -1, the system's default, comes on top).
    virtual int DeviceCount() = 0;
    /// The product name of a device (-1 = default); false when its capabilities cannot be read.
    virtual bool DeviceName(int device, std::string& name) = 0;
    /// Opens a device; null on failure. May block (never call it holding a lock the engine needs).
    virtual std::unique_ptr<IOutputStream> Open(int device, OutputDoneFn done, void* context) = 0;
    /// Why the last Open that failed did, for the user (the device and the system's reason); empty when
    /// the backend cannot say. Asked on the thread that called Open, right after it.
    virtual std::string LastOpenError() { return {}; }
};

} // namespace mw
