#pragma once
// The output device manager. It opens a device the first time an engine block is addressed to it, keeps
// a ring of 1024 16-bit stereo buffers of 192 frames per open device, mixes every channel block that is
// sent to the same device within one engine block (soft-clipped), lets one writer thread per device hand
// the finished buffers to the device and to the wave-writer registry, reports how many blocks are still
// waiting to be played (the engine steers its latency with it), and closes a device at the end of the
// first engine block in which nothing was sent to it.
//
// Threads and locks:
// - The engine thread calls BeginBlock, Submit, ReadBack, EndBlock, SendEnded, CloseAll. All but
//   SendEnded take the manager's
//   lock; Submit allocates nothing and makes no system call once its device is open. A device is opened
//   (and closed) with the lock released, so no blocking device call is ever made under it.
// - One writer thread per open device is woken by SendEnded (a lock-free wake-up, after the last block
//   of each engine wake-up), takes the lock, marks the buffers filled since its last pass as queued
//   (nothing while a block is open); it then releases the lock and gives them to the wave-writer
//   registry and to the device. Waking it when blocks are complete rather than polling every
//   millisecond sends each block as soon as the engine is done, with a fraction of the wake-ups.
// - The device's done notice (backend thread) only writes atomics: the buffer's state and Queued.
// - ListDevices (user-interface thread) asks the backend only; it touches no state of the manager.
//
// A device that fails to open is not tried again on every Submit: after a failure it waits 1 s, then
// 2 s, then 4 s between attempts (OpenBackoff, on the clock of Options::clock), and `Submit` returns false
// meanwhile. The first failure of a run is reported once through the message callback, with the reason
// the backend gives; nothing is said again until the device has opened.
//
// Muting (SetMuted, any thread): while muted, every device is handed silence of the same length as the
// buffer it would have played, so the devices' timing and the latency steering stay exactly as they were;
// the wave-writer registry is still given the real signal, so recordings go on.
//
// Deterministic offline use ("manual pump"): construct with Options{.manualPump = true}. No writer
// threads are started; the caller does their work by calling PumpWriters() between engine blocks, on the
// thread that drives the engine. Over an in-memory backend driven by a virtual clock the sequence
//     engine.RenderBlock(); outputs.PumpWriters(); memoryBackend.Advance(frames);
// is bit-for-bit repeatable: every buffer is tapped, written and played in the same order each run, and
// the Queued values the engine sees follow the virtual clock only.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/device_lifecycle.hpp"
#include "audio/device_list.hpp"
#include "audio/output_backend.hpp"
#include "base/relaxed.hpp"
#include "engine/devices.hpp"

namespace mw {

class WaveWriterRegistry;

class WaveOutManager final : public IAudioOutput {
public:
    static constexpr int kSlotCount = 1024;
    static constexpr int kSlotFrames = kMaxBlockSamples; // 192
    static constexpr int32_t kNoDevice = -555;

    struct Options {
        bool manualPump = false;
        IClock* clock = nullptr; ///< times the retries of failed opens; null: the system's steady clock
    };
    /// Receives a text for the user: why an output device cannot be opened.
    using MessageFn = std::function<void(const std::string& text)>;

    explicit WaveOutManager(IOutputBackend& backend, WaveWriterRegistry* registry = nullptr);
    WaveOutManager(IOutputBackend& backend, WaveWriterRegistry* registry, Options options);
    ~WaveOutManager() override;
    WaveOutManager(const WaveOutManager&) = delete;
    WaveOutManager& operator=(const WaveOutManager&) = delete;

    /// Set before the engine starts. Called on the engine thread, with no lock held.
    void SetMessageCallback(MessageFn fn) { message_ = std::move(fn); }

    // ---- engine thread ----
    void BeginBlock() override;
    /// id: n (< 99) both channels of device n, 99..198 left of device id-100, >= 199 right of id-200.
    bool Submit(int32_t id, const OutputBlock& block, int64_t* queued) override;
    void EndBlock() override;
    void SendEnded() override;
    bool ReadBack(int32_t id, OutputBlock& out, bool openIfClosed, bool noHalving) override;
    void CloseAll() override;

    // ---- any thread ----
    /// Devices play silence while on; recordings keep the real signal (see the top of this file).
    void SetMuted(bool on) { muted_ = on; }
    bool Muted() const { return muted_; }

    /// Manual-pump mode: one writer pass over every open device (see the top of this file).
    void PumpWriters();

    // ---- user-interface thread ----
    /// The output choices of a device list: an empty entry (-555), then per device (the default -1
    /// first) "name - (L+R)", "name - (L)", "name - (R)" with n, n + 100, n + 200, or with deviceOnly
    /// just the name with n. The entry whose data equals selectedId is selected.
    DeviceChoices ListDevices(int32_t selectedId, bool deviceOnly) const;

    // ---- inspection ----
    bool IsOpen(int32_t device) const;
    int OpenDeviceCount() const;
    /// Queued of an open device (blocks started after the last one that finished playing); -1 if closed.
    int64_t QueuedBlocks(int32_t device) const;
    /// Underruns reported by the devices, closed ones included.
    uint64_t Underruns() const;

private:
    struct Device;
    struct Target {
        int32_t device;
        bool left;
        bool right;
    };
    static Target Decode(int32_t id);
    static void OnDone(void* context, uint32_t tag);

    Device* Open(DeviceLifecycle<Device>::Lock& lock, int32_t device);
    void WriterPass(Device& d);
    int CollectLocked(Device& d);
    void SendCollected(Device& d, int count);

    IOutputBackend& backend_;
    WaveWriterRegistry* registry_;
    const Options options_;
    std::unique_ptr<IClock> ownClock_;
    IClock* clock_;
    MessageFn message_;
    OpenBackoff backoff_; // engine thread only
    std::atomic<uint64_t> closedUnderruns_{0};
    Relaxed<bool> muted_{false};
    DeviceLifecycle<Device> devices_;
};

} // namespace mw
