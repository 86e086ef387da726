#include "sources/midi_in_manager.hpp"

namespace mw {

struct MidiInManager::Device {
    int32_t deviceNumber = 0;
    std::unique_ptr<IMidiStream> stream;
    Tables tables;
    // Under the manager's lock.
    int32_t useCount = 0;
    Device* next = nullptr;
};

MidiInManager::MidiInManager(IMidiBackend& backend) : backend_(backend) {}

MidiInManager::~MidiInManager() {
    CloseAllMidi();
}

MidiInManager::Device* MidiInManager::FindLocked(int32_t device) const {
    return devices_.Find(device);
}

void MidiInManager::BeginMidiBlock() {
    std::lock_guard lock(mutex_);
    blockOpen_ = true;
    for (Device* d = devices_.Head(); d; d = d->next) d->useCount = 0;
}

bool MidiInManager::UseMidiDevice(int32_t deviceNumber) {
    std::unique_lock lock(mutex_);
    if (!blockOpen_) return false;
    Device* d = FindLocked(deviceNumber);
    if (!d) {
        // Opened with the lock released (the device calls may block); only the engine thread changes the
        // list.
        lock.unlock();
        auto fresh = std::make_unique<Device>();
        fresh->deviceNumber = deviceNumber;
        fresh->stream = backend_.Open(deviceNumber, &MidiInManager::OnMessage, fresh.get());
        if (fresh->stream && !fresh->stream->Start()) fresh->stream.reset();
        lock.lock();
        if (!fresh->stream) return false;
        d = devices_.AddOpened(std::move(fresh), lock, [](Device* duplicate) { CloseDevices(duplicate); });
    }
    ++d->useCount;
    return true;
}

bool MidiInManager::CopyNoteVelocities(int32_t deviceNumber, std::array<uint8_t, kMidiNoteTableSize>& out,
                                       uint64_t& stamp) {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(deviceNumber);
    if (!d) return false;
    // A note that changes during the copy sets a new stamp after its byte: the next copy takes it.
    const uint64_t now = d->tables.noteStamp.load(std::memory_order_acquire);
    if (now == stamp) return true;
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = d->tables.noteVelocity[i].load(std::memory_order_relaxed);
    stamp = now;
    return true;
}

double MidiInManager::ReadLastValue(int32_t deviceNumber, int32_t index) {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(deviceNumber);
    if (!d) return 0.0;
    return d->tables.lastValue[size_t(uint32_t(index) & 0xFFFFu)].load(std::memory_order_relaxed);
}

int32_t MidiInManager::GetLastIndex(int32_t deviceNumber) {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(deviceNumber);
    return d ? d->tables.lastIndex.load(std::memory_order_acquire) : -1;
}

void MidiInManager::EndMidiBlock() {
    Device* closing = nullptr;
    {
        std::lock_guard lock(mutex_);
        closing = devices_.Unlink([](Device* d) { return d->useCount < 1; });
        blockOpen_ = false;
    }
    CloseDevices(closing);
}

void MidiInManager::CloseAllMidi() {
    Device* all = nullptr;
    {
        std::lock_guard lock(mutex_);
        all = devices_.TakeAll();
    }
    CloseDevices(all);
}

void MidiInManager::CloseDevices(Device* list) {
    while (list) {
        Device* d = list;
        list = d->next;
        d->stream.reset(); // stops input: no message after this
        delete d;
    }
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
    std::vector<DeviceChoice> list;
    std::string name;
    const int n = backend_.DeviceCount();
    for (int i = 0; i < n; ++i)
        if (backend_.DeviceName(i, name)) list.push_back({name, i});
    return list;
}

bool MidiInManager::IsOpen(int32_t device) const {
    std::lock_guard lock(mutex_);
    return FindLocked(device) != nullptr;
}

int MidiInManager::OpenDeviceCount() const {
    std::lock_guard lock(mutex_);
    return devices_.Count();
}

} // namespace mw
