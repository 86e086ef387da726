#include "sources/memory_input.hpp"

#include <algorithm>
#include <array>

#include "audio/bounded_queue.hpp"

namespace mw {

class MemoryInputBackend::Stream final : public IInputStream {
public:
    Stream(MemoryInputBackend& owner, int device, InputDoneFn done, void* context)
        : owner_(owner), device_(device), done_(done), context_(context) {}
    ~Stream() override { owner_.devices_.Remove(this); }

    bool AddBuffer(uint32_t tag) override {
        std::lock_guard lock(owner_.devices_.Mutex());
        return queue_.Push(tag);
    }

    bool Start() override {
        std::lock_guard lock(owner_.devices_.Mutex());
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
                if (queue_.Size() == 0) {
                    ++dev.dropped;
                    continue;
                }
                done_(context_, queue_.Pop(), scratch_.data(), uint32_t(kCaptureBufferSamples));
            }
        }
    }

    int Device() const { return device_; }
    size_t Size() const { return queue_.Size(); }

private:
    MemoryInputBackend& owner_;
    const int device_;
    const InputDoneFn done_;
    void* const context_;
    BoundedQueue<uint32_t> queue_{2048};
    bool started_ = false;
    std::array<int16_t, kCaptureBufferSamples> scratch_{};
    uint32_t fill_ = 0;
};

MemoryInputBackend::MemoryInputBackend() : MemoryInputBackend({}, DeviceDesc{"Memory Default Input"}) {}

MemoryInputBackend::MemoryInputBackend(std::vector<DeviceDesc> devices, DeviceDesc defaultDevice) {
    devices_.States().push_back({{std::move(defaultDevice)}});
    for (auto& d : devices) devices_.States().push_back({{std::move(d)}});
}

MemoryInputBackend::~MemoryInputBackend() {
    StopRealTimeClock();
}

int MemoryInputBackend::DeviceCount() {
    return devices_.Count();
}

bool MemoryInputBackend::DeviceName(int device, std::string& name) {
    return devices_.Name(device, name);
}

std::unique_ptr<IInputStream> MemoryInputBackend::Open(int device, InputDoneFn done, void* context,
                                                       InputOpenStatus& status) {
    auto stream = std::make_unique<Stream>(*this, device, done, context);
    std::lock_guard lock(devices_.Mutex());
    DeviceState* s = devices_.Openable(device);
    status = s && s->desc.busy ? InputOpenStatus::Busy : s ? InputOpenStatus::Ok : InputOpenStatus::Failed;
    if (status != InputOpenStatus::Ok) return nullptr;
    devices_.Add(stream.get(), *s);
    return stream;
}

void MemoryInputBackend::SetBusy(int device, bool busy) {
    devices_.Set(device, [&](DeviceState& s) { s.desc.busy = busy; });
}

void MemoryInputBackend::SetSamples(int device, std::vector<int16_t> samples, bool loop) {
    devices_.Set(device, [&](DeviceState& s) {
        s.desc.samples = std::move(samples);
        s.desc.loop = loop;
        s.cursor = 0;
    });
}

void MemoryInputBackend::Advance(uint32_t frames) {
    std::lock_guard lock(devices_.Mutex());
    for (Stream* st : devices_.Streams())
        if (DeviceState* s = devices_.At(st->Device())) st->Capture(frames, *s);
}

void MemoryInputBackend::StartRealTimeClock() {
    clock_.Start([this](uint32_t frames) { Advance(frames); });
}

void MemoryInputBackend::StopRealTimeClock() {
    clock_.Stop();
}

size_t MemoryInputBackend::QueuedBuffers(int device) const {
    return devices_.QueuedBuffers(device);
}

uint64_t MemoryInputBackend::DroppedBuffers(int device) const {
    return devices_.Get(device, uint64_t(0), [](const DeviceState& s) { return s.dropped; });
}

int MemoryInputBackend::OpenCount(int device) const {
    return devices_.OpenCount(device);
}

bool MemoryInputBackend::IsOpen(int device) const {
    return devices_.IsOpen(device);
}

} // namespace mw
