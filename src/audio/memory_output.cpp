#include "audio/memory_output.hpp"

#include <algorithm>

#include "audio/bounded_queue.hpp"

namespace mw {

class MemoryOutputBackend::Stream final : public IOutputStream {
public:
    Stream(MemoryOutputBackend& owner, int device, OutputDoneFn done, void* context)
        : owner_(owner), device_(device), done_(done), context_(context) {}
    ~Stream() override { owner_.devices_.Remove(this); }

    bool Write(const int16_t* frames, uint32_t frameCount, uint32_t tag) override {
        std::lock_guard lock(owner_.devices_.Mutex());
        return queue_.Push({frames, frameCount, tag});
    }

    // Under the owner's lock.
    void Consume(uint32_t frames, DeviceState& state, bool keep) {
        while (frames > 0 && queue_.Size() > 0) {
            const Entry& e = queue_.At(0);
            const uint32_t n = std::min(frames, e.frameCount - offset_);
            if (keep)
                state.played.insert(state.played.end(), e.frames + 2 * size_t(offset_),
                                    e.frames + 2 * size_t(offset_ + n));
            offset_ += n;
            frames -= n;
            if (offset_ == e.frameCount) {
                offset_ = 0;
                done_(context_, queue_.Pop().tag);
            }
        }
        state.silentFrames += frames;
    }

    int Device() const { return device_; }
    size_t Size() const { return queue_.Size(); }

private:
    struct Entry {
        const int16_t* frames = nullptr;
        uint32_t frameCount = 0;
        uint32_t tag = 0;
    };
    MemoryOutputBackend& owner_;
    const int device_;
    const OutputDoneFn done_;
    void* const context_;
    BoundedQueue<Entry> queue_{4096};
    uint32_t offset_ = 0;
};

MemoryOutputBackend::MemoryOutputBackend()
    : MemoryOutputBackend({DeviceDesc{"Memory Output"}}, "Memory Default Output", true) {}

MemoryOutputBackend::MemoryOutputBackend(std::vector<DeviceDesc> devices, std::string defaultName,
                                         bool keepFrames)
    : keepFrames_(keepFrames) {
    DeviceDesc def{std::move(defaultName)};
    def.nameFails = def.name.empty();
    devices_.States().push_back({{def}});
    for (auto& d : devices) devices_.States().push_back({{std::move(d)}});
}

MemoryOutputBackend::~MemoryOutputBackend() {
    StopRealTimeClock();
}

int MemoryOutputBackend::DeviceCount() {
    return devices_.Count();
}

bool MemoryOutputBackend::DeviceName(int device, std::string& name) {
    return devices_.Name(device, name);
}

std::unique_ptr<IOutputStream> MemoryOutputBackend::Open(int device, OutputDoneFn done, void* context) {
    auto stream = std::make_unique<Stream>(*this, device, done, context);
    std::lock_guard lock(devices_.Mutex());
    DeviceState* s = devices_.Openable(device);
    if (!s) return nullptr; // never added: its destruction counts nothing
    devices_.Add(stream.get(), *s);
    return stream;
}

void MemoryOutputBackend::SetOpenFails(int device, bool fails) {
    devices_.Set(device, [&](DeviceState& s) { s.desc.openFails = fails; });
}

void MemoryOutputBackend::SetNameFails(int device, bool fails) {
    devices_.Set(device, [&](DeviceState& s) { s.desc.nameFails = fails; });
}

void MemoryOutputBackend::Advance(uint32_t frames) {
    std::lock_guard lock(devices_.Mutex());
    for (Stream* st : devices_.Streams())
        if (DeviceState* s = devices_.At(st->Device())) st->Consume(frames, *s, keepFrames_);
}

void MemoryOutputBackend::StartRealTimeClock() {
    clock_.Start([this](uint32_t frames) { Advance(frames); });
}

void MemoryOutputBackend::StopRealTimeClock() {
    clock_.Stop();
}

std::vector<int16_t> MemoryOutputBackend::Played(int device) const {
    return devices_.Get(device, std::vector<int16_t>{}, [](const DeviceState& s) { return s.played; });
}

uint64_t MemoryOutputBackend::SilentFrames(int device) const {
    return devices_.Get(device, uint64_t(0), [](const DeviceState& s) { return s.silentFrames; });
}

size_t MemoryOutputBackend::QueuedBuffers(int device) const {
    return devices_.QueuedBuffers(device);
}

int MemoryOutputBackend::OpenCount(int device) const {
    return devices_.OpenCount(device);
}

int MemoryOutputBackend::CloseCount(int device) const {
    return devices_.Get(device, 0, [](const DeviceState& s) { return s.closes; });
}

bool MemoryOutputBackend::IsOpen(int device) const {
    return devices_.IsOpen(device);
}

void MemoryOutputBackend::ClearPlayed() {
    std::lock_guard lock(devices_.Mutex());
    for (DeviceState& s : devices_.States()) {
        s.played.clear();
        s.silentFrames = 0;
    }
}

} // namespace mw
