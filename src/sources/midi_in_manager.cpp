#include "sources/midi_in_manager.hpp"

namespace mw {

struct MidiInManager::Device : ManagedDevice<Device, IMidiStream> {
    Tables tables;
};

MidiInManager::MidiInManager(IMidiBackend& backend) : backend_(backend) {}

MidiInManager::~MidiInManager() {
    CloseAllMidi();
}

const MidiInManager::Tables* MidiInManager::TablesLocked(int32_t device) const {
    const Device* d = devices_.Find(device);
    return d ? &d->tables : nullptr;
}

void MidiInManager::BeginMidiBlock() {
    devices_.Begin();
}

bool MidiInManager::UseMidiDevice(int32_t deviceNumber) {
    std::unique_lock lock(devices_.Mutex());
    if (!devices_.BlockOpen()) return false;
    Device* d = devices_.FindOrOpen(lock, deviceNumber, [this](Device& fresh) {
        fresh.stream = backend_.Open(fresh.deviceNumber, &MidiInManager::OnMessage, &fresh);
        if (fresh.stream && !fresh.stream->Start()) fresh.stream.reset();
        return fresh.stream != nullptr;
    });
    if (!d) return false;
    ++d->useCount;
    return true;
}

bool MidiInManager::CopyNoteVelocities(int32_t deviceNumber, std::array<uint8_t, kMidiNoteTableSize>& out,
                                       uint64_t& stamp) {
    std::lock_guard lock(devices_.Mutex());
    const Tables* t = TablesLocked(deviceNumber);
    if (!t) return false;
    // A note that changes during the copy sets a new stamp after its byte: the next copy takes it.
    const uint64_t now = t->noteStamp.load(std::memory_order_acquire);
    if (now == stamp) return true;
    for (size_t i = 0; i < out.size(); ++i) out[i] = t->noteVelocity[i].load(std::memory_order_relaxed);
    stamp = now;
    return true;
}

double MidiInManager::ReadLastValue(int32_t deviceNumber, int32_t index) {
    std::lock_guard lock(devices_.Mutex());
    const Tables* t = TablesLocked(deviceNumber);
    return t ? t->lastValue[size_t(uint32_t(index) & 0xFFFFu)].load(std::memory_order_relaxed) : 0.0;
}

int32_t MidiInManager::GetLastIndex(int32_t deviceNumber) {
    std::lock_guard lock(devices_.Mutex());
    const Tables* t = TablesLocked(deviceNumber);
    return t ? t->lastIndex.load(std::memory_order_acquire) : -1;
}

void MidiInManager::EndMidiBlock() {
    devices_.End();
}

void MidiInManager::CloseAllMidi() {
    devices_.CloseAll();
}

void MidiInManager::Apply(Tables& t, uint32_t message) {
    const uint32_t s = message & 0xFFu;
    // Data bytes are seven bits wide; a stray high bit must not index past a table row.
    const uint32_t d1 = (message >> 8) & 0x7Fu;
    const uint32_t d2 = (message >> 16) & 0x7Fu;
    if (s >= 0x80 && s <= 0x9F) {
        const uint8_t velocity = s <= 0x8F ? 0 : uint8_t(d2);
        t.noteVelocity[(s & 0x0Fu) * 128 + d1].store(velocity, std::memory_order_relaxed);
        // Stamps are unique across devices and managers, so a copy never mistakes one table for another.
        static std::atomic<uint64_t> lastStamp{0};
        t.noteStamp.store(lastStamp.fetch_add(1, std::memory_order_relaxed) + 1, std::memory_order_release);
    }
    int32_t index = -1;
    float value = 0.0f;
    if (s >= 0x80 && s <= 0xBF) { // note off, note on, key pressure, controller
        index = int32_t(s * 128 + d1);
        value = float(d2);
    } else if (s >= 0xC0 && s <= 0xDF) { // program change, channel pressure
        index = int32_t(s * 128);
        value = float(d1);
    } else if (s >= 0xE0 && s <= 0xEF) { // pitch bend: the most significant seven bits
        index = int32_t(s * 128);
        value = float(d2);
    }
    if (index < 0) return; // system messages change nothing
    t.lastValue[size_t(index)].store(value, std::memory_order_relaxed);
    t.lastIndex.store(index, std::memory_order_release);
}

void MidiInManager::OnMessage(void* context, uint32_t message) {
    Apply(static_cast<Device*>(context)->tables, message);
}

std::vector<DeviceChoice> MidiInManager::ListDevices() const {
    return NamedDevices(backend_, false);
}

bool MidiInManager::IsOpen(int32_t device) const {
    return devices_.IsOpen(device);
}

int MidiInManager::OpenDeviceCount() const {
    return devices_.OpenCount();
}

} // namespace mw
