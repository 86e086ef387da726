#pragma once
// The MIDI input device manager. A device opens when a MIDI module first uses it in an engine block and
// closes in the first engine block in which no module used it; while open, the device's messages keep
// the table of held notes per channel (NoteVelocity) and the last value seen for every status and first
// data byte (LastValue, LastIndex). State starts from zero at every opening.
//
// Threads and locks: the engine thread calls the IMidiInput operations, each under the manager's lock; a
// device is opened and closed with the lock released. The device's messages arrive on the backend's
// thread and write the tables (atomics) without the lock, so a reader sees either the old or the new value
// of each entry.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/device_lifecycle.hpp"
#include "audio/device_list.hpp"
#include "engine/devices.hpp"
#include "sources/midi_backend.hpp"

namespace mw {

class MidiInManager final : public IMidiInput {
public:
    static constexpr int kLastValueCount = 65536;

    explicit MidiInManager(IMidiBackend& backend);
    ~MidiInManager() override;
    MidiInManager(const MidiInManager&) = delete;
    MidiInManager& operator=(const MidiInManager&) = delete;

    // ---- engine thread ----
    void BeginMidiBlock() override;
    bool UseMidiDevice(int32_t deviceNumber) override;
    bool CopyNoteVelocities(int32_t deviceNumber, std::array<uint8_t, kMidiNoteTableSize>& out,
                            uint64_t& stamp) override;
    double ReadLastValue(int32_t deviceNumber, int32_t index) override;
    int32_t GetLastIndex(int32_t deviceNumber) override;
    void EndMidiBlock() override;
    void CloseAllMidi() override;

    // ---- user-interface thread ----
    /// The MIDI input devices, each labelled with its product name, numbered by device index.
    std::vector<DeviceChoice> ListDevices() const;

    // ---- inspection ----
    bool IsOpen(int32_t device) const;
    int OpenDeviceCount() const;

    /// Applies one short message to a device's tables (the input notice; exposed for tests).
    struct Tables;
    static void Apply(Tables& tables, uint32_t shortMessage);

private:
    struct Device;
    static void OnMessage(void* context, uint32_t shortMessage);
    /// The tables of an open device, or null; under the lock.
    const Tables* TablesLocked(int32_t device) const;

    IMidiBackend& backend_;
    DeviceLifecycle<Device> devices_;
};

/// The per-device state the input notice writes.
struct MidiInManager::Tables {
    std::array<std::atomic<uint8_t>, kMidiNoteTableSize> noteVelocity{}; // [channel][note]
    /// Set after each note change to a number never used before (0: no change yet, all notes off).
    std::atomic<uint64_t> noteStamp{0};
    std::unique_ptr<std::atomic<float>[]> lastValue { new std::atomic<float>[ kLastValueCount ]() };
    std::atomic<int32_t> lastIndex{-1};
};

} // namespace mw
