#include "sources/wave_in_manager.hpp"

namespace mw {
namespace {

enum : uint8_t { kFree = 0, kQueued = 1, kDone = 2 };

} // namespace

struct WaveInManager::Device : ManagedDevice<Device, IInputStream> {
    std::unique_ptr<std::atomic<int16_t>[]> samples; // kBufferCount buffers of 96 samples
    std::array<std::atomic<uint8_t>, kBufferCount> state{};
    std::array<uint64_t, kBufferCount> queueNumbers{};

    // Under the manager's lock.
    uint64_t queued = 0;

    // Written by the device's notices.
    std::atomic<uint32_t> captured{0};
    std::atomic<uint32_t> lastDone{0};

    // Capture pass state.
    uint32_t lastSeen = 0;
    int rolling = 0;
    bool firstPass = true;

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

void WaveInManager::BeginInputBlock() {
    devices_.Begin();
}

bool WaveInManager::UseInputDevice(int32_t deviceNumber) {
    std::unique_lock lock(devices_.Mutex());
    if (!devices_.BlockOpen()) return false;
    Device* d = devices_.FindOrOpen(lock, deviceNumber, [this](Device& fresh) {
        InputOpenStatus status = InputOpenStatus::Failed;
        fresh.stream = backend_.Open(fresh.deviceNumber, &WaveInManager::OnCaptured, &fresh, status);
        if (status == InputOpenStatus::Busy && message_) message_(kInputBusyMessage);
        if (!fresh.stream) return false;
        fresh.samples.reset(new std::atomic<int16_t>[size_t(kBufferCount) * kCaptureBufferSamples]());
        if (!options_.manualPump)
            fresh.worker.StartWokenPasses([this, &fresh] {
                std::lock_guard pass(devices_.Mutex());
                CapturePassLocked(fresh);
            });
        return true;
    });
    if (!d) return false;
    ++d->useCount;
    return true;
}

bool WaveInManager::ReadInput(int32_t deviceNumber, uint64_t& position,
                              std::array<int16_t, kInputBufferSamples>& first,
                              std::array<int16_t, kInputBufferSamples>& second, int32_t latencyMs) {
    std::lock_guard lock(devices_.Mutex());
    devices_.SetBlockOpen();
    Device* d = devices_.Find(deviceNumber);
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
    devices_.End();
}

void WaveInManager::RequeueCaptured() {
    devices_.WakeWorkers();
}

void WaveInManager::CloseAllInput() {
    devices_.CloseAll();
}

// ---------------------------------------------------------------- capture

void WaveInManager::CapturePassLocked(Device& d) {
    if (devices_.BlockOpen() || d.closing) return;
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

void WaveInManager::PumpCapture() {
    if (!options_.manualPump) return; // the capture threads do this work
    std::lock_guard lock(devices_.Mutex());
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
    return NamedDevices(backend_, true);
}

bool WaveInManager::IsOpen(int32_t device) const {
    return devices_.IsOpen(device);
}

int WaveInManager::OpenDeviceCount() const {
    return devices_.OpenCount();
}

uint32_t WaveInManager::CapturedBuffers(int32_t device) const {
    std::lock_guard lock(devices_.Mutex());
    const Device* d = devices_.Find(device);
    return d ? d->captured.load(std::memory_order_relaxed) : 0;
}

} // namespace mw
