#pragma once
// MIDI input devices in memory, for tests and offline rendering. Each device has a list of timed short
// messages (frame numbers on the backend's clock, 48000 per second). Advance moves the clock; every
// message whose time has come is delivered, in list order, to the streams open and started on its device
// (a message that comes due while its device is closed is lost, as with a real device). Send delivers one
// message at once.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/memory_devices.hpp"
#include "sources/midi_backend.hpp"

namespace mw {

class MemoryMidiBackend final : public IMidiBackend {
public:
    struct TimedMessage {
        uint64_t frame = 0;
        uint32_t message = 0;
    };
    struct DeviceDesc {
        std::string name;
        std::vector<TimedMessage> messages; // in time order
        bool openFails = false;
        bool nameFails = false;
    };

    /// One device 0 "Memory MIDI In" without messages.
    MemoryMidiBackend();
    explicit MemoryMidiBackend(std::vector<DeviceDesc> devices);
    ~MemoryMidiBackend() override;
    MemoryMidiBackend(const MemoryMidiBackend&) = delete;
    MemoryMidiBackend& operator=(const MemoryMidiBackend&) = delete;

    int DeviceCount() override;
    bool DeviceName(int device, std::string& name) override;
    std::unique_ptr<IMidiStream> Open(int device, MidiMessageFn message, void* context) override;

    void SetOpenFails(int device, bool fails);
    /// Moves the clock by `frames` and delivers the messages that came due (their time < the new clock).
    void Advance(uint64_t frames);
    /// Delivers one message to the open streams of a device now.
    void Send(int device, uint32_t message);
    uint64_t Now() const;
    int OpenCount(int device) const;
    bool IsOpen(int device) const;

private:
    class Stream;
    struct DeviceState : MemoryDevice<DeviceDesc> {
        size_t next = 0;
    };
    void DeliverLocked(int device, uint32_t message);

    MemoryDeviceTable<DeviceState, Stream> devices_{0};
    uint64_t now_ = 0;
};

} // namespace mw
