#include "sources/wave_in_manager.hpp"

#include <chrono>

#include "audio/thread_priority.hpp"

namespace mw {
namespace {

enum : uint8_t { kFree = 0, kQueued = 1, kDone = 2 };

} // namespace

struct WaveInManager::Device {
    int32_t deviceNumber = 0;
    std::unique_ptr<IInputStream> stream;
    std::unique_ptr<std::atomic<int16_t>[]> samples; // kBufferCount buffers of 96 samples
    std::array<std::atomic<uint8_t>, kBufferCount> state{};
    std::array<uint64_t, kBufferCount> queueNumbers{};

    // Under the manager's lock.
    int32_t useCount = 0;
    uint64_t queued = 0;
    bool closing = false;
    Device* next = nullptr;

    // Written by the device's notices.
    std::atomic<uint32_t> captured{0};
    std::atomic<uint32_t> lastDone{0};

    // Capture pass state.
    uint32_t lastSeen = 0;
    int rolling = 0;
    bool firstPass = true;

    std::thread capture;
    std::mutex wakeMutex;
    std::condition_variable wakeCv;
    bool stop = false;

    void CopyBuffer(int k, std::array<int16_t, kInputBufferSamples>& out) const {
        const std::atomic<int16_t>* in = samples.get() + size_t(k) * kCaptureBufferSamples;
        for (int i = 0; i < kInputBufferSamples; ++i) out[size_t(i)] = in[i].load(std::memory_order_relaxed);
    }
};

WaveInManager::WaveInManager(IInputBackend& backend) : WaveInManager(backend, Options{}) {}

WaveInManager::WaveInManager(IInputBackend& backend, Options options)
    : backend_(backend), options_(options) {}

WaveInManager::~WaveInManager() {
    CloseAllInput();
}

WaveInManager::Device* WaveInManager::FindLocked(int32_t device) const {
    return devices_.Find(device);
}

void WaveInManager::BeginInputBlock() {
    std::lock_guard lock(mutex_);
    blockOpen_ = true;
    for (Device* d = devices_.Head(); d; d = d->next) d->useCount = 0;
}

bool WaveInManager::UseInputDevice(int32_t deviceNumber) {
    std::unique_lock lock(mutex_);
    if (!blockOpen_) return false;
    Device* d = FindLocked(deviceNumber);
    if (!d) {
        // Opened with the lock released: the device call may block. Only the engine thread changes the
        // list, so nothing else opens the same device meanwhile.
        lock.unlock();
        auto fresh = std::make_unique<Device>();
        fresh->deviceNumber = deviceNumber;
        InputOpenStatus status = InputOpenStatus::Failed;
        fresh->stream = backend_.Open(deviceNumber, &WaveInManager::OnCaptured, fresh.get(), status);
        if (status == InputOpenStatus::Busy && message_) message_(kInputBusyMessage);
        if (!fresh->stream) {
            lock.lock();
            return false;
        }
        fresh->samples.reset(new std::atomic<int16_t>[size_t(kBufferCount) * kCaptureBufferSamples]());
        Device* raw = fresh.get();
        if (!options_.manualPump) raw->capture = std::thread([this, raw] { CaptureMain(raw); });
        lock.lock();
        d = devices_.AddOpened(std::move(fresh), lock,
                               [this](Device* duplicate) { CloseDevices(devices_.MarkClosing(duplicate)); });
    }
    ++d->useCount;
    return true;
}

bool WaveInManager::ReadInput(int32_t deviceNumber, uint64_t& position,
                              std::array<int16_t, kInputBufferSamples>& first,
                              std::array<int16_t, kInputBufferSamples>& second, int32_t latencyMs) {
    std::lock_guard lock(mutex_);
    blockOpen_ = true;
    Device* d = FindLocked(deviceNumber);
    if (!d) return false;

    const uint32_t captured = d->captured.load(std::memory_order_acquire);
    int32_t available = int32_t(captured - uint32_t(position));
    if (available < 0 || available > kBufferCount) {
        position = captured;
        available = 0;
    }
    if (2 * int64_t(available) < int64_t(latencyMs)) return false;
    if (available > 0) position += available == 1 ? 1 : 2;

    int s = int(d->lastDone.load(std::memory_order_relaxed)) - available + 1;
    s %= kBufferCount;
    if (s < 0) s += kBufferCount;
    d->CopyBuffer(s, first);
    d->CopyBuffer(s == 0 ? kBufferCount - 1 : s - 1, second);
    return true;
}

void WaveInManager::EndInputBlock() {
    Device* closing = nullptr;
    {
        std::lock_guard lock(mutex_);
        // Unused in this block, or failed beyond recovery (reopened on the next use).
        closing = devices_.MarkClosing(
            devices_.Unlink([](Device* d) { return d->useCount < 1 || d->stream->Failed(); }));
        blockOpen_ = false;
    }
    CloseDevices(closing);
}

void WaveInManager::CloseAllInput() {
    Device* all = nullptr;
    {
        std::lock_guard lock(mutex_);
        all = devices_.MarkClosing(devices_.TakeAll());
    }
    CloseDevices(all);
}

void WaveInManager::CloseDevices(Device* list) {
    while (list) {
        Device* d = list;
        list = d->next;
        {
            std::lock_guard wake(d->wakeMutex);
            d->stop = true;
        }
        d->wakeCv.notify_all();
        if (d->capture.joinable()) d->capture.join();
        d->stream.reset(); // no notice after this
        delete d;
    }
}

// ---------------------------------------------------------------- capture

void WaveInManager::CapturePassLocked(Device& d) {
    if (blockOpen_ || d.closing) return;
    const uint32_t captured = d.captured.load(std::memory_order_acquire);
    if (!d.firstPass && captured == d.lastSeen) return; // nothing new since the last pass
    d.lastSeen = captured;

    // A buffer is marked queued before the device gets it: its notice may come at once.
    auto add = [&d](int k) {
        if (d.state[size_t(k)].load(std::memory_order_acquire) != kQueued) {
            d.state[size_t(k)].store(kQueued, std::memory_order_relaxed);
            if (!d.stream->AddBuffer(uint32_t(k))) d.state[size_t(k)].store(kFree, std::memory_order_relaxed);
        }
        d.queueNumbers[size_t(k)] = d.queued;
        ++d.queued;
    };
    if (d.firstPass) {
        for (int k = 0; k < kBufferCount; ++k) add(k);
        d.stream->Start();
        d.rolling = 0;
        d.firstPass = false;
        return;
    }
    // Re-queue the next 64 buffers of the ring that the device has filled; ones still queued stay.
    for (int j = 0; j < kRequeuePerPass; ++j) {
        add(d.rolling);
        if (++d.rolling == kBufferCount) d.rolling = 0;
    }
}

void WaveInManager::CaptureMain(Device* d) {
    RaiseDeviceThreadPriority();
    for (;;) {
        {
            std::unique_lock wake(d->wakeMutex);
            d->wakeCv.wait_for(wake, std::chrono::milliseconds(1), [d] { return d->stop; });
            if (d->stop) return;
        }
        std::lock_guard lock(mutex_);
        CapturePassLocked(*d);
    }
}

void WaveInManager::PumpCapture() {
    if (!options_.manualPump) return; // the capture threads do this work
    std::lock_guard lock(mutex_);
    for (Device* d = devices_.Head(); d; d = d->next) CapturePassLocked(*d);
}

void WaveInManager::OnCaptured(void* context, uint32_t tag, const int16_t* samples, uint32_t count) {
    auto* d = static_cast<Device*>(context);
    if (tag >= uint32_t(kBufferCount)) return;
    if (count > uint32_t(kCaptureBufferSamples)) count = kCaptureBufferSamples;
    std::atomic<int16_t>* out = d->samples.get() + size_t(tag) * kCaptureBufferSamples;
    for (uint32_t i = 0; i < count; ++i) out[i].store(samples[i], std::memory_order_relaxed);
    d->state[tag].store(kDone, std::memory_order_release);
    d->lastDone.store(tag, std::memory_order_relaxed);
    d->captured.fetch_add(1, std::memory_order_release);
}

// ---------------------------------------------------------------- lists and inspection

std::vector<DeviceChoice> WaveInManager::ListDevices() const {
    std::vector<DeviceChoice> list;
    std::string name;
    if (backend_.DeviceName(-1, name)) list.push_back({name, -1});
    const int n = backend_.DeviceCount();
    for (int i = 0; i < n; ++i)
        if (backend_.DeviceName(i, name)) list.push_back({name, i});
    return list;
}

bool WaveInManager::IsOpen(int32_t device) const {
    std::lock_guard lock(mutex_);
    return FindLocked(device) != nullptr;
}

int WaveInManager::OpenDeviceCount() const {
    std::lock_guard lock(mutex_);
    return devices_.Count();
}

uint32_t WaveInManager::CapturedBuffers(int32_t device) const {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(device);
    return d ? d->captured.load(std::memory_order_relaxed) : 0;
}

} // namespace mw
