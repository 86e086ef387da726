#pragma once
// The MIDI input service underneath the MidiInManager: device enumeration and one input stream per open
// device. Implemented by the ALSA sequencer (platform/alsa_midi.*) and in memory (sources/memory_midi.*).

#include <cstdint>
#include <memory>
#include <string>

namespace mw {

/// One MIDI short message: status in bits 0-7, first data byte in bits 8-15, second in bits 16-23.
/// Called on the device's own thread (or the thread that advances an in-memory device). The receiver must
/// only touch atomics.
using MidiMessageFn = void (*)(void* context, uint32_t shortMessage);

inline constexpr uint32_t MidiShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
    return uint32_t(status) | uint32_t(data1) << 8 | uint32_t(data2) << 16;
}

class IMidiStream {
public:
    /// Stops input and closes; once it returns no message arrives.
    virtual ~IMidiStream() = default;
    /// Starts delivering messages.
    virtual bool Start() = 0;
    /// The device failed beyond recovery and should be reopened.
    virtual bool Failed() const { return false; }
};

class IMidiBackend {
public:
    virtual ~IMidiBackend() = default;
    virtual int DeviceCount() = 0;
    /// The product name of device 0..n-1; false when it cannot be read.
    virtual bool DeviceName(int device, std::string& name) = 0;
    /// Opens a device; null on failure. May block.
    virtual std::unique_ptr<IMidiStream> Open(int device, MidiMessageFn message, void* context) = 0;
};

} // namespace mw
