#pragma once
// The lifecycle every device manager shares (output, audio input, MIDI input): a device opens when the
// engine first uses it in an engine block and closes at the end of the first engine block in which
// nothing used it (or in which its stream failed beyond recovery, to be reopened on its next use), and
// when the engine stops. The open devices form a chain in opening order, found by device number.
//
// One lock guards the chain, the block flag and every device's fields marked "under the lock". A device
// is opened and closed with the lock released, so no blocking device call is ever made under it; only
// the engine thread changes the chain, so nothing else opens the same device meanwhile.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "audio/thread_priority.hpp"

namespace mw {

/// The fields the lifecycle keeps in every device; a manager's device derives from it.
template <class Device, class Stream> struct ManagedDevice {
    int32_t deviceNumber = 0;
    std::unique_ptr<Stream> stream;
    // Under the lock.
    int32_t useCount = 0;
    bool closing = false; ///< unlinked, about to close: its worker must leave it alone
    Device* next = nullptr;
    DeviceThread worker; ///< started by the manager (StartWokenPasses) when the device has one
};

template <class Device> class DeviceLifecycle {
public:
    using Lock = std::unique_lock<std::mutex>;
    /// Called for each device as it closes: off the lock, after its worker ended, before its stream closes.
    using CloseFn = std::function<void(Device&)>;

    explicit DeviceLifecycle(CloseFn onClose = {}) : onClose_(std::move(onClose)) {}
    ~DeviceLifecycle() { CloseAll(); }
    DeviceLifecycle(const DeviceLifecycle&) = delete;
    DeviceLifecycle& operator=(const DeviceLifecycle&) = delete;

    std::mutex& Mutex() const { return mutex_; }

    // ---- under the lock ----
    bool BlockOpen() const { return blockOpen_; }
    void SetBlockOpen() { blockOpen_ = true; }
    Device* Head() const { return head_; }
    Device* Find(int32_t deviceNumber) const {
        for (Device* d = head_; d; d = d->next)
            if (d->deviceNumber == deviceNumber) return d;
        return nullptr;
    }
    /// The device of that number; when none is open, a fresh one is made and open(device) opens it with
    /// the lock released (false: it could not be opened).
    template <class Open> Device* FindOrOpen(Lock& lock, int32_t deviceNumber, Open open) {
        if (Device* d = Find(deviceNumber)) return d;
        lock.unlock();
        auto fresh = std::make_unique<Device>();
        fresh->deviceNumber = deviceNumber;
        const bool opened = open(*fresh);
        lock.lock();
        if (!opened) return nullptr;
        if (Device* other = Find(deviceNumber)) { // added meanwhile: keep that one
            lock.unlock();
            Close(Marked(fresh.release()));
            lock.lock();
            return other;
        }
        Device* d = fresh.release();
        d->next = nullptr;
        (tail_ ? tail_->next : head_) = d;
        tail_ = d;
        ++count_;
        return d;
    }

    // ---- the engine block (each takes the lock) ----
    /// The block opens: no device has been used in it yet. reset(device) clears a manager's own per-block
    /// fields.
    template <class Reset> void Begin(Reset reset) {
        std::lock_guard lock(mutex_);
        blockOpen_ = true;
        for (Device* d = head_; d; d = d->next) {
            d->useCount = 0;
            reset(*d);
        }
    }
    void Begin() {
        Begin([](Device&) {});
    }
    /// The block ends: closes every device unused in it, or failed beyond recovery.
    void End() {
        Device* closing = nullptr;
        {
            std::lock_guard lock(mutex_);
            closing = Unlink([](Device* d) { return d->useCount < 1 || d->stream->Failed(); });
            blockOpen_ = false;
        }
        Close(closing);
    }
    /// Wakes the worker of every open device, without the lock (so that a woken thread does not run
    /// straight into it). Engine thread only: only it changes the chain. A device without a worker
    /// (manual pump) is not harmed by the wake-up.
    void WakeWorkers() {
        for (Device* d = head_; d; d = d->next) d->worker.Wake();
    }
    /// Closes every device (the engine stops, or the manager goes).
    void CloseAll() {
        Device* all = nullptr;
        {
            std::lock_guard lock(mutex_);
            all = Marked(head_);
            head_ = tail_ = nullptr;
            count_ = 0;
        }
        Close(all);
    }

    // ---- any thread ----
    bool IsOpen(int32_t deviceNumber) const {
        std::lock_guard lock(mutex_);
        return Find(deviceNumber) != nullptr;
    }
    int OpenCount() const {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    static Device* Marked(Device* chain) {
        for (Device* d = chain; d; d = d->next) d->closing = true;
        return chain;
    }

    /// Unlinks every device for which drop(device) is true; returns them, marked closing, in their order.
    template <class Drop> Device* Unlink(Drop drop) {
        Device* taken = nullptr;
        Device** takenTail = &taken;
        Device* prev = nullptr;
        for (Device* d = head_; d;) {
            Device* next = d->next;
            if (drop(d)) {
                (prev ? prev->next : head_) = next;
                if (tail_ == d) tail_ = prev;
                --count_;
                d->next = nullptr;
                *takenTail = d;
                takenTail = &d->next;
            } else {
                prev = d;
            }
            d = next;
        }
        return Marked(taken);
    }

    /// Closes a chain of unlinked devices; called without the lock.
    void Close(Device* chain) {
        while (chain) {
            Device* d = chain;
            chain = d->next;
            d->worker.Stop();
            if (onClose_) onClose_(*d);
            d->stream.reset(); // no notice after this
            delete d;
        }
    }

    mutable std::mutex mutex_;
    bool blockOpen_ = false;
    Device* head_ = nullptr;
    Device* tail_ = nullptr;
    int count_ = 0;
    const CloseFn onClose_;
};

/// Spaces out the opens of devices that fail to open: a device whose open failed is tried again after
/// 1 s, then 2 s, then every 4 s until it opens. Times are milliseconds of a steady clock. It keeps a
/// fixed number of failing devices and never allocates; when more fail, the one due soonest is forgotten
/// (and tried at once). Not locked: one thread (the engine's) uses it.
class OpenBackoff {
public:
    static constexpr double kFirstDelayMs = 1000.0;
    static constexpr double kLongestDelayMs = 4000.0;

    /// Whether an open of the device may be tried at nowMs.
    bool MayTry(int32_t device, double nowMs) const {
        const Entry* e = Find(device);
        return !e || nowMs >= e->retryAt;
    }
    /// An open failed at nowMs. True for the first failure since the device last opened: the moment to say
    /// why.
    bool Failed(int32_t device, double nowMs) {
        if (Entry* e = Find(device)) {
            e->delay = std::min(e->delay * 2.0, kLongestDelayMs);
            e->retryAt = nowMs + e->delay;
            return false;
        }
        Entry* slot = &entries_[0];
        for (Entry& e : entries_)
            if (!e.used || (slot->used && e.retryAt < slot->retryAt)) slot = &e;
        *slot = {device, true, nowMs + kFirstDelayMs, kFirstDelayMs};
        return true;
    }
    /// The device opened: its next failure starts again with the first delay.
    void Opened(int32_t device) {
        if (Entry* e = Find(device)) e->used = false;
    }

private:
    struct Entry {
        int32_t device = 0;
        bool used = false;
        double retryAt = 0.0;
        double delay = 0.0;
    };
    Entry* Find(int32_t device) {
        for (Entry& e : entries_)
            if (e.used && e.device == device) return &e;
        return nullptr;
    }
    const Entry* Find(int32_t device) const { return const_cast<OpenBackoff*>(this)->Find(device); }

    std::array<Entry, 16> entries_{};
};

} // namespace mw
