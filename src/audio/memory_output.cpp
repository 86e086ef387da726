#include "audio/memory_output.hpp"

#include <algorithm>
#include <chrono>

namespace mw {

class MemoryOutputBackend::Stream final : public IOutputStream {
public:
    Stream(MemoryOutputBackend& owner, int device, OutputDoneFn done, void* context)
        : owner_(owner), device_(device), done_(done), context_(context), ring_(kCapacity) {}

    ~Stream() override {
        if (!registered_) return;
        std::lock_guard lock(owner_.mutex_);
        auto& list = owner_.streams_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (DeviceState* s = owner_.StateLocked(device_)) ++s->closes;
    }

    bool Write(const int16_t* frames, uint32_t frameCount, uint32_t tag) override {
        std::lock_guard lock(owner_.mutex_);
        if (size_ == kCapacity) return false;
        ring_[(head_ + size_) % kCapacity] = {frames, frameCount, tag};
        ++size_;
        return true;
    }

    // Under the owner's lock.
    void Consume(uint32_t frames, DeviceState& state, bool keep) {
        while (frames > 0 && size_ > 0) {
            Entry& e = ring_[head_];
            const uint32_t n = std::min(frames, e.frameCount - offset_);
            if (keep)
                state.played.insert(state.played.end(), e.frames + 2 * size_t(offset_),
                                    e.frames + 2 * size_t(offset_ + n));
            offset_ += n;
            frames -= n;
            if (offset_ == e.frameCount) {
                const uint32_t tag = e.tag;
                head_ = (head_ + 1) % kCapacity;
                --size_;
                offset_ = 0;
                done_(context_, tag);
            }
        }
        state.silentFrames += frames;
    }

    bool registered_ = false; // set by Open under the owner's lock
    int Device() const { return device_; }
    size_t Size() const { return size_; }

private:
    static constexpr size_t kCapacity = 4096;
    struct Entry {
        const int16_t* frames = nullptr;
        uint32_t frameCount = 0;
        uint32_t tag = 0;
    };
    MemoryOutputBackend& owner_;
    const int device_;
    const OutputDoneFn done_;
    void* const context_;
    std::vector<Entry> ring_;
    size_t head_ = 0;
    size_t size_ = 0;
    uint32_t offset_ = 0;
};

MemoryOutputBackend::MemoryOutputBackend()
    : MemoryOutputBackend({DeviceDesc{"Memory Output"}}, "Memory Default Output", true) {}

MemoryOutputBackend::MemoryOutputBackend(std::vector<DeviceDesc> devices, std::string defaultName,
                                         bool keepFrames)
    : keepFrames_(keepFrames) {
    DeviceDesc def{std::move(defaultName)};
    def.nameFails = def.name.empty();
    devices_.push_back({def});
    for (auto& d : devices) devices_.push_back({std::move(d)});
}

MemoryOutputBackend::~MemoryOutputBackend() {
    StopRealTimeClock();
}

int MemoryOutputBackend::DeviceCount() {
    std::lock_guard lock(mutex_);
    return int(devices_.size()) - 1;
}

bool MemoryOutputBackend::DeviceName(int device, std::string& name) {
    std::lock_guard lock(mutex_);
    return MemoryDeviceName(devices_, device, name);
}

std::unique_ptr<IOutputStream> MemoryOutputBackend::Open(int device, OutputDoneFn done, void* context) {
    auto stream = std::make_unique<Stream>(*this, device, done, context);
    std::lock_guard lock(mutex_);
    DeviceState* s = StateLocked(device);
    if (!s || s->desc.openFails) return nullptr; // never registered: its destruction counts nothing
    ++s->opens;
    stream->registered_ = true;
    streams_.push_back(stream.get());
    return stream;
}

void MemoryOutputBackend::SetOpenFails(int device, bool fails) {
    std::lock_guard lock(mutex_);
    if (DeviceState* s = StateLocked(device)) s->desc.openFails = fails;
}

void MemoryOutputBackend::SetNameFails(int device, bool fails) {
    std::lock_guard lock(mutex_);
    if (DeviceState* s = StateLocked(device)) s->desc.nameFails = fails;
}

void MemoryOutputBackend::Advance(uint32_t frames) {
    std::lock_guard lock(mutex_);
    for (Stream* st : streams_)
        if (DeviceState* s = StateLocked(st->Device())) st->Consume(frames, *s, keepFrames_);
}

void MemoryOutputBackend::StartRealTimeClock() {
    clock_.Start([this](uint32_t frames) { Advance(frames); });
}

void MemoryOutputBackend::StopRealTimeClock() {
    clock_.Stop();
}

std::vector<int16_t> MemoryOutputBackend::Played(int device) const {
    std::lock_guard lock(mutex_);
    const DeviceState* s = StateLocked(device);
    return s ? s->played : std::vector<int16_t>{};
}

uint64_t MemoryOutputBackend::SilentFrames(int device) const {
    std::lock_guard lock(mutex_);
    const DeviceState* s = StateLocked(device);
    return s ? s->silentFrames : 0;
}

size_t MemoryOutputBackend::QueuedBuffers(int device) const {
    std::lock_guard lock(mutex_);
    size_t n = 0;
    for (const Stream* st : streams_)
        if (st->Device() == device) n += st->Size();
    return n;
}

int MemoryOutputBackend::OpenCount(int device) const {
    std::lock_guard lock(mutex_);
    const DeviceState* s = StateLocked(device);
    return s ? s->opens : 0;
}

int MemoryOutputBackend::CloseCount(int device) const {
    std::lock_guard lock(mutex_);
    const DeviceState* s = StateLocked(device);
    return s ? s->closes : 0;
}

bool MemoryOutputBackend::IsOpen(int device) const {
    std::lock_guard lock(mutex_);
    for (const Stream* st : streams_)
        if (st->Device() == device) return true;
    return false;
}

void MemoryOutputBackend::ClearPlayed() {
    std::lock_guard lock(mutex_);
    for (DeviceState& s : devices_) {
        s.played.clear();
        s.silentFrames = 0;
    }
}

} // namespace mw
