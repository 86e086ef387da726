#include "audio/wave_out_manager.hpp"

#include <algorithm>
#include <array>
#include <chrono>

#include "audio/sample_convert.hpp"
#include "audio/wave_writer_registry.hpp"

namespace mw {
namespace {

// Buffer states. A filled buffer is Free until its writer pass queues it; the done notice marks it Done.
enum : uint8_t { kFree = 0, kQueued = 1, kDone = 2 };

class SteadyClock final : public IClock {
public:
    double Milliseconds() override {
        using namespace std::chrono;
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace

struct WaveOutManager::Device : ManagedDevice<Device, IOutputStream> {
    std::unique_ptr<int16_t[]> frames; // kSlotCount buffers of kSlotFrames stereo frames

    std::array<uint32_t, kSlotCount> lengthBytes{};
    std::array<uint64_t, kSlotCount> blockNumbers{};
    std::array<std::atomic<uint8_t>, kSlotCount> state{};

    // Under the manager's lock.
    int16_t currentSlot = -1;
    bool claimedThisBlock = false;

    std::atomic<uint64_t> blocksStarted{0}; // written under the lock, read by the done notice
    std::atomic<uint64_t> queued{0};        // written by the done notice

    // Writer side (the writer thread, or PumpWriters).
    uint64_t lastSent = 0;
    std::array<uint16_t, kSlotCount> sendList{};

    int16_t* Slot(int k) { return frames.get() + size_t(k) * kSlotFrames * 2; }
};

WaveOutManager::WaveOutManager(IOutputBackend& backend, WaveWriterRegistry* registry)
    : WaveOutManager(backend, registry, Options{}) {}

WaveOutManager::WaveOutManager(IOutputBackend& backend, WaveWriterRegistry* registry, Options options)
    : backend_(backend), registry_(registry), options_(options),
      ownClock_(options.clock ? nullptr : std::make_unique<SteadyClock>()),
      clock_(options.clock ? options.clock : ownClock_.get()), devices_([this](Device& d) {
          closedUnderruns_.fetch_add(d.stream->Underruns(), std::memory_order_relaxed);
      }) {}

WaveOutManager::~WaveOutManager() {
    CloseAll();
}

WaveOutManager::Target WaveOutManager::Decode(int32_t id) {
    if (id < 99) return {id, true, true};
    if (id < 199) return {id - 100, true, false};
    return {id - 200, false, true};
}

// Under the lock; the device itself is opened (or found to fail) with the lock released.
WaveOutManager::Device* WaveOutManager::Open(DeviceLifecycle<Device>::Lock& lock, int32_t device) {
    if (Device* d = devices_.Find(device)) return d;
    const double now = clock_->Milliseconds();
    if (!backoff_.MayTry(device, now)) return nullptr;
    return devices_.FindOrOpen(lock, device, [this, now](Device& d) {
        d.stream = backend_.Open(d.deviceNumber, &WaveOutManager::OnDone, &d);
        if (!d.stream) {
            if (backoff_.Failed(d.deviceNumber, now) && message_) {
                const std::string why = backend_.LastOpenError();
                message_(why.empty()
                             ? "Output device " + std::to_string(d.deviceNumber) + " cannot be opened."
                             : why);
            }
            return false;
        }
        backoff_.Opened(d.deviceNumber);
        d.frames = std::make_unique<int16_t[]>(size_t(kSlotCount) * kSlotFrames * 2);
        if (!options_.manualPump) d.worker.StartWokenPasses([this, &d] { WriterPass(d); });
        return true;
    });
}

void WaveOutManager::BeginBlock() {
    devices_.Begin([](Device& d) { d.claimedThisBlock = false; });
}

bool WaveOutManager::Submit(int32_t id, const OutputBlock& block, int64_t* queuedOut) {
    std::unique_lock lock(devices_.Mutex());
    if (!devices_.BlockOpen()) return false;
    const Target t = Decode(id);
    Device* d = Open(lock, t.device);
    if (!d) return false;
    if (queuedOut) *queuedOut = int64_t(d->queued.load(std::memory_order_relaxed));

    const int count = std::min(block.Count(), kSlotFrames);
    if (count < 1) {
        ++d->useCount;
        return true;
    }

    if (d->useCount > 0 && d->claimedThisBlock) {
        // Another channel block already went to this device in this engine block: mix into it.
        int16_t* out = d->Slot(d->currentSlot);
        for (int i = 0; i < count; ++i) {
            const double s = block.samples[size_t(i)] * kOutputScale;
            if (t.left) out[2 * i] = ToOutputSample(out[2 * i] + s);
            if (t.right) out[2 * i + 1] = ToOutputSample(out[2 * i + 1] + s);
        }
        ++d->useCount;
        return true;
    }

    int next = d->currentSlot + 1;
    if (next >= kSlotCount) next = 0;
    if (d->state[size_t(next)].load(std::memory_order_acquire) == kQueued) {
        // 1024 blocks behind: this block is dropped, the queued ones play on (the device stays in use).
        ++d->useCount;
        return false;
    }
    d->state[size_t(next)].store(kFree, std::memory_order_relaxed);
    d->currentSlot = int16_t(next);
    const uint64_t started = d->blocksStarted.load(std::memory_order_relaxed) + 1;
    d->blocksStarted.store(started, std::memory_order_relaxed);
    d->blockNumbers[size_t(next)] = started;
    d->lengthBytes[size_t(next)] = uint32_t(count) * 4;

    int16_t* out = d->Slot(next);
    for (int i = 0; i < count; ++i) {
        const int16_t v = ToOutputSample(block.samples[size_t(i)] * kOutputScale);
        out[2 * i] = t.left ? v : int16_t(0);
        out[2 * i + 1] = t.right ? v : int16_t(0);
    }
    d->claimedThisBlock = true;
    ++d->useCount;
    return true;
}

void WaveOutManager::EndBlock() {
    devices_.End();
}

void WaveOutManager::SendEnded() {
    devices_.WakeWorkers(); // the blocks are complete: each open device's writer sends them now
}

void WaveOutManager::CloseAll() {
    devices_.CloseAll();
}

bool WaveOutManager::ReadBack(int32_t id, OutputBlock& out, bool openIfClosed, bool noHalving) {
    std::unique_lock lock(devices_.Mutex());
    if (!devices_.BlockOpen()) return false;
    const Target t = Decode(id);
    Device* d = openIfClosed ? Open(lock, t.device) : devices_.Find(t.device);
    if (!d) return false;
    out.samples.fill(0.0);
    if (d->useCount < 1 || d->currentSlot < 0) return true;
    const int count = int(d->lengthBytes[size_t(d->currentSlot)] / 4);
    out.adjust = int8_t(count - kBaseBlockLength);
    const double scale = (t.left && t.right && !noHalving) ? 0.5 : 1.0;
    const int16_t* in = d->Slot(d->currentSlot);
    for (int i = 0; i < count && i < kMaxBlockSamples; ++i) {
        double v = 0.0;
        if (t.left) v += in[2 * i] / 32767.0 * scale;
        if (t.right) v += in[2 * i + 1] / 32767.0 * scale;
        out.samples[size_t(i)] += v;
    }
    return true;
}

// ---------------------------------------------------------------- writer

// Marks the buffers filled since the last pass as queued and lists them; nothing while a block is open.
int WaveOutManager::CollectLocked(Device& d) {
    if (devices_.BlockOpen() || d.closing) return 0;
    const uint64_t started = d.blocksStarted.load(std::memory_order_relaxed);
    if (started <= d.lastSent) return 0;
    const int pending = int(std::min<uint64_t>(started - d.lastSent, kSlotCount));
    int slot = d.currentSlot - pending + 1;
    if (slot < 0) slot += kSlotCount;
    for (int k = 0; k < pending; ++k) {
        d.state[size_t(slot)].store(kQueued, std::memory_order_relaxed);
        d.sendList[size_t(k)] = uint16_t(slot);
        if (++slot == kSlotCount) slot = 0;
    }
    d.lastSent = started;
    return pending;
}

// Taps and writes the listed buffers. They are queued, so the engine does not touch them until their done
// notice; a buffer the device does not take is free again at once. Muted, the device gets as many frames
// of silence instead, under the same slot tag.
void WaveOutManager::SendCollected(Device& d, int count) {
    static constexpr std::array<int16_t, size_t(kSlotFrames) * 2> kSilence{};
    for (int k = 0; k < count; ++k) {
        const int slot = d.sendList[size_t(k)];
        const uint32_t bytes = d.lengthBytes[size_t(slot)];
        const int16_t* data = d.Slot(slot);
        if (registry_) registry_->TapBuffer(data, bytes, d.deviceNumber);
        if (muted_) data = kSilence.data();
        if (!d.stream->Write(data, bytes / 4, uint32_t(slot)))
            d.state[size_t(slot)].store(kFree, std::memory_order_release);
    }
}

void WaveOutManager::WriterPass(Device& d) {
    int n = 0;
    {
        std::lock_guard lock(devices_.Mutex());
        n = CollectLocked(d);
    }
    // The device stays open until this thread has been joined, so the record outlives this pass.
    SendCollected(d, n);
}

void WaveOutManager::PumpWriters() {
    if (!options_.manualPump) return; // the writer threads do this work
    // Whole pass under the lock: the done notices take no lock, so this cannot deadlock, and it stays
    // safe whichever thread calls it.
    std::lock_guard lock(devices_.Mutex());
    for (Device* d = devices_.Head(); d; d = d->next) SendCollected(*d, CollectLocked(*d));
}

void WaveOutManager::OnDone(void* context, uint32_t tag) {
    auto* d = static_cast<Device*>(context);
    if (tag >= uint32_t(kSlotCount)) return;
    d->queued.store(d->blocksStarted.load(std::memory_order_relaxed) - d->blockNumbers[tag],
                    std::memory_order_relaxed);
    d->state[tag].store(kDone, std::memory_order_release);
}

// ---------------------------------------------------------------- lists and inspection

DeviceChoices WaveOutManager::ListDevices(int32_t selectedId, bool deviceOnly) const {
    DeviceChoices list;
    auto add = [&](std::string label, int32_t data) {
        if (data == selectedId) list.selected = int(list.entries.size());
        list.entries.push_back({std::move(label), data});
    };
    add(std::string(), kNoDevice);
    auto addDevice = [&](int n, const std::string& name) {
        if (deviceOnly) {
            add(name, n);
        } else {
            add(name + " - (L+R)", n);
            add(name + " - (L)", n + 100);
            add(name + " - (R)", n + 200);
        }
    };
    ForEachNamedDevice(backend_, true, addDevice);
    return list;
}

bool WaveOutManager::IsOpen(int32_t device) const {
    return devices_.IsOpen(device);
}

int WaveOutManager::OpenDeviceCount() const {
    return devices_.OpenCount();
}

int64_t WaveOutManager::QueuedBlocks(int32_t device) const {
    std::lock_guard lock(devices_.Mutex());
    const Device* d = devices_.Find(device);
    return d ? int64_t(d->queued.load(std::memory_order_relaxed)) : -1;
}

uint64_t WaveOutManager::Underruns() const {
    std::lock_guard lock(devices_.Mutex());
    uint64_t n = closedUnderruns_.load(std::memory_order_relaxed);
    for (const Device* d = devices_.Head(); d; d = d->next) n += d->stream->Underruns();
    return n;
}

} // namespace mw
