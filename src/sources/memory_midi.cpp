#include "sources/memory_midi.hpp"

namespace mw {

class MemoryMidiBackend::Stream final : public IMidiStream {
public:
    Stream(MemoryMidiBackend& owner, int device, MidiMessageFn fn, void* context)
        : owner_(owner), device_(device), fn_(fn), context_(context) {}
    ~Stream() override { owner_.devices_.Remove(this); }
    bool Start() override {
        std::lock_guard lock(owner_.devices_.Mutex());
        started_ = true;
        return true;
    }
    // Under the owner's lock.
    void Deliver(uint32_t message) {
        if (started_) fn_(context_, message);
    }
    int Device() const { return device_; }

private:
    MemoryMidiBackend& owner_;
    const int device_;
    const MidiMessageFn fn_;
    void* const context_;
    bool started_ = false;
};

MemoryMidiBackend::MemoryMidiBackend() : MemoryMidiBackend({DeviceDesc{"Memory MIDI In"}}) {}

MemoryMidiBackend::MemoryMidiBackend(std::vector<DeviceDesc> devices) {
    for (auto& d : devices) devices_.States().push_back({{std::move(d)}});
}

MemoryMidiBackend::~MemoryMidiBackend() = default;

int MemoryMidiBackend::DeviceCount() {
    return devices_.Count();
}

bool MemoryMidiBackend::DeviceName(int device, std::string& name) {
    return devices_.Name(device, name);
}

std::unique_ptr<IMidiStream> MemoryMidiBackend::Open(int device, MidiMessageFn message, void* context) {
    auto stream = std::make_unique<Stream>(*this, device, message, context);
    std::lock_guard lock(devices_.Mutex());
    DeviceState* s = devices_.Openable(device);
    if (!s) return nullptr;
    devices_.Add(stream.get(), *s);
    return stream;
}

void MemoryMidiBackend::SetOpenFails(int device, bool fails) {
    devices_.Set(device, [&](DeviceState& s) { s.desc.openFails = fails; });
}

void MemoryMidiBackend::DeliverLocked(int device, uint32_t message) {
    for (Stream* s : devices_.Streams())
        if (s->Device() == device) s->Deliver(message);
}

void MemoryMidiBackend::Advance(uint64_t frames) {
    std::lock_guard lock(devices_.Mutex());
    now_ += frames;
    auto& states = devices_.States();
    for (size_t i = 0; i < states.size(); ++i) {
        DeviceState& d = states[i];
        while (d.next < d.desc.messages.size() && d.desc.messages[d.next].frame < now_)
            DeliverLocked(int(i), d.desc.messages[d.next++].message);
    }
}

void MemoryMidiBackend::Send(int device, uint32_t message) {
    std::lock_guard lock(devices_.Mutex());
    DeliverLocked(device, message);
}

uint64_t MemoryMidiBackend::Now() const {
    std::lock_guard lock(devices_.Mutex());
    return now_;
}

int MemoryMidiBackend::OpenCount(int device) const {
    return devices_.OpenCount(device);
}

bool MemoryMidiBackend::IsOpen(int device) const {
    return devices_.IsOpen(device);
}

} // namespace mw
