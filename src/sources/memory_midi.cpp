#include "sources/memory_midi.hpp"

#include <algorithm>

namespace mw {

class MemoryMidiBackend::Stream final : public IMidiStream {
public:
    Stream(MemoryMidiBackend& owner, int device, MidiMessageFn fn, void* context)
        : owner_(owner), device_(device), fn_(fn), context_(context) {}
    ~Stream() override {
        if (!registered_) return;
        std::lock_guard lock(owner_.mutex_);
        auto& list = owner_.streams_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    bool Start() override {
        std::lock_guard lock(owner_.mutex_);
        started_ = true;
        return true;
    }
    // Under the owner's lock.
    void Deliver(uint32_t message) {
        if (started_) fn_(context_, message);
    }
    int Device() const { return device_; }
    bool registered_ = false;

private:
    MemoryMidiBackend& owner_;
    const int device_;
    const MidiMessageFn fn_;
    void* const context_;
    bool started_ = false;
};

MemoryMidiBackend::MemoryMidiBackend() : MemoryMidiBackend({DeviceDesc{"Memory MIDI In"}}) {}

MemoryMidiBackend::MemoryMidiBackend(std::vector<DeviceDesc> devices) {
    for (auto& d : devices) devices_.push_back({std::move(d)});
}

MemoryMidiBackend::~MemoryMidiBackend() = default;

int MemoryMidiBackend::DeviceCount() {
    std::lock_guard lock(mutex_);
    return int(devices_.size());
}

bool MemoryMidiBackend::DeviceName(int device, std::string& name) {
    std::lock_guard lock(mutex_);
    if (device < 0 || device >= int(devices_.size()) || devices_[size_t(device)].desc.nameFails) return false;
    name = devices_[size_t(device)].desc.name;
    return true;
}

std::unique_ptr<IMidiStream> MemoryMidiBackend::Open(int device, MidiMessageFn message, void* context) {
    auto stream = std::make_unique<Stream>(*this, device, message, context);
    std::lock_guard lock(mutex_);
    if (device < 0 || device >= int(devices_.size()) || devices_[size_t(device)].desc.openFails)
        return nullptr;
    ++devices_[size_t(device)].opens;
    stream->registered_ = true;
    streams_.push_back(stream.get());
    return stream;
}

void MemoryMidiBackend::SetOpenFails(int device, bool fails) {
    std::lock_guard lock(mutex_);
    if (device >= 0 && device < int(devices_.size())) devices_[size_t(device)].desc.openFails = fails;
}

void MemoryMidiBackend::DeliverLocked(int device, uint32_t message) {
    for (Stream* s : streams_)
        if (s->Device() == device) s->Deliver(message);
}

void MemoryMidiBackend::Advance(uint64_t frames) {
    std::lock_guard lock(mutex_);
    now_ += frames;
    for (size_t i = 0; i < devices_.size(); ++i) {
        DeviceState& d = devices_[i];
        while (d.next < d.desc.messages.size() && d.desc.messages[d.next].frame < now_)
            DeliverLocked(int(i), d.desc.messages[d.next++].message);
    }
}

void MemoryMidiBackend::Send(int device, uint32_t message) {
    std::lock_guard lock(mutex_);
    DeliverLocked(device, message);
}

uint64_t MemoryMidiBackend::Now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

int MemoryMidiBackend::OpenCount(int device) const {
    std::lock_guard lock(mutex_);
    return (device >= 0 && device < int(devices_.size())) ? devices_[size_t(device)].opens : 0;
}

bool MemoryMidiBackend::IsOpen(int device) const {
    std::lock_guard lock(mutex_);
    for (const Stream* s : streams_)
        if (s->Device() == device) return true;
    return false;
}

} // namespace mw
