#include "sources/memory_input.hpp"

#include <algorithm>
#include <array>
#include <chrono>

namespace mw {

class MemoryInputBackend::Stream final : public IInputStream {
public:
    Stream(MemoryInputBackend& owner, int device, InputDoneFn done, void* context)
        : owner_(owner), device_(device), done_(done), context_(context), ring_(kCapacity) {}

    ~Stream() override {
        if (!registered_) return;
        std::lock_guard lock(owner_.mutex_);
        auto& list = owner_.streams_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }

    bool AddBuffer(uint32_t tag) override {
        std::lock_guard lock(owner_.mutex_);
        if (size_ == kCapacity) return false;
        ring_[(head_ + size_) % kCapacity] = tag;
        ++size_;
        return true;
    }

    bool Start() override {
        std::lock_guard lock(owner_.mutex_);
        started_ = true;
        return true;
    }

    // Under the owner's lock.
    void Capture(uint32_t frames, DeviceState& dev) {
        if (!started_) return;
        const auto& src = dev.desc.samples;
        while (frames > 0) {
            const uint32_t n = std::min<uint32_t>(frames, uint32_t(kCaptureBufferSamples) - fill_);
            for (uint32_t i = 0; i < n; ++i) {
                if (dev.desc.loop && !src.empty() && dev.cursor >= src.size()) dev.cursor = 0;
                scratch_[fill_ + i] = dev.cursor < src.size() ? src[dev.cursor] : int16_t(0);
                ++dev.cursor;
            }
            fill_ += n;
            frames -= n;
            if (fill_ == uint32_t(kCaptureBufferSamples)) {
                fill_ = 0;
                if (size_ == 0) {
                    ++dev.dropped;
                    continue;
                }
                const uint32_t tag = ring_[head_];
                head_ = (head_ + 1) % kCapacity;
                --size_;
                done_(context_, tag, scratch_.data(), uint32_t(kCaptureBufferSamples));
            }
        }
    }

    bool registered_ = false; // set by Open under the owner's lock
    int Device() const { return device_; }
    size_t Size() const { return size_; }

private:
    static constexpr size_t kCapacity = 2048;
    MemoryInputBackend& owner_;
    const int device_;
    const InputDoneFn done_;
    void* const context_;
    std::vector<uint32_t> ring_;
    size_t head_ = 0;
    size_t size_ = 0;
    bool started_ = false;
    std::array<int16_t, kCaptureBufferSamples> scratch_{};
    uint32_t fill_ = 0;
};

MemoryInputBackend::MemoryInputBackend() : MemoryInputBackend({}, DeviceDesc{"Memory Default Input"}) {}

MemoryInputBackend::MemoryInputBackend(std::vector<DeviceDesc> devices, DeviceDesc defaultDevice) {
    devices_.push_back({std::move(defaultDevice)});
    for (auto& d : devices) devices_.push_back({std::move(d)});
}

MemoryInputBackend::~MemoryInputBackend() {
    StopRealTimeClock();
}

int MemoryInputBackend::DeviceCount() {
    std::lock_guard lock(mutex_);
    return int(devices_.size()) - 1;
}

bool MemoryInputBackend::DeviceName(int device, std::string& name) {
    std::lock_guard lock(mutex_);
    return MemoryDeviceName(devices_, device, name);
}

std::unique_ptr<IInputStream> MemoryInputBackend::Open(int device, InputDoneFn done, void* context,
                                                       InputOpenStatus& status) {
    auto stream = std::make_unique<Stream>(*this, device, done, context);
    std::lock_guard lock(mutex_);
    DeviceState* s = StateLocked(device);
    status = InputOpenStatus::Failed;
    if (!s || s->desc.openFails) return nullptr;
    if (s->desc.busy) {
        status = InputOpenStatus::Busy;
        return nullptr;
    }
    status = InputOpenStatus::Ok;
    ++s->opens;
    stream->registered_ = true;
    streams_.push_back(stream.get());
    return stream;
}

void MemoryInputBackend::SetBusy(int device, bool busy) {
    std::lock_guard lock(mutex_);
    if (DeviceState* s = StateLocked(device)) s->desc.busy = busy;
}

void MemoryInputBackend::SetSamples(int device, std::vector<int16_t> samples, bool loop) {
    std::lock_guard lock(mutex_);
    if (DeviceState* s = StateLocked(device)) {
        s->desc.samples = std::move(samples);
        s->desc.loop = loop;
        s->cursor = 0;
    }
}

void MemoryInputBackend::Advance(uint32_t frames) {
    std::lock_guard lock(mutex_);
    for (Stream* st : streams_)
        if (DeviceState* s = StateLocked(st->Device())) st->Capture(frames, *s);
}

void MemoryInputBackend::StartRealTimeClock() {
    clock_.Start([this](uint32_t frames) { Advance(frames); });
}

void MemoryInputBackend::StopRealTimeClock() {
    clock_.Stop();
}

size_t MemoryInputBackend::QueuedBuffers(int device) const {
    std::lock_guard lock(mutex_);
    size_t n = 0;
    for (const Stream* st : streams_)
        if (st->Device() == device) n += st->Size();
    return n;
}

uint64_t MemoryInputBackend::DroppedBuffers(int device) const {
    std::lock_guard lock(mutex_);
    const DeviceState* s = StateLocked(device);
    return s ? s->dropped : 0;
}

int MemoryInputBackend::OpenCount(int device) const {
    std::lock_guard lock(mutex_);
    const DeviceState* s = StateLocked(device);
    return s ? s->opens : 0;
}

bool MemoryInputBackend::IsOpen(int device) const {
    std::lock_guard lock(mutex_);
    for (const Stream* st : streams_)
        if (st->Device() == device) return true;
    return false;
}

} // namespace mw
