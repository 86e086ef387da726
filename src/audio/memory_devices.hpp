#pragma once
// What the in-memory device backends share: their device table with the streams open on it, and a
// clock thread that moves them on as real time passes.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/output_backend.hpp"

namespace mw {

/// A device of an in-memory backend: its description (with `name`, `nameFails` and `openFails`) and how
/// often it was opened and closed.
template <class Desc> struct MemoryDevice {
    Desc desc;
    int opens = 0;
    int closes = 0;
};

/// The devices of an in-memory backend and the streams open on them, under one lock. Device d sits at
/// index d - first (first is -1 when the default device -1 comes on top). Stream has `int Device()`.
template <class State, class Stream> class MemoryDeviceTable {
public:
    explicit MemoryDeviceTable(int first) : first_(first) {}

    std::mutex& Mutex() const { return mutex_; }

    // ---- under the lock ----
    std::vector<State>& States() { return states_; }
    const std::vector<Stream*>& Streams() const { return streams_; }
    State* At(int device) {
        const int i = device - first_;
        return (i >= 0 && i < int(states_.size())) ? &states_[size_t(i)] : nullptr;
    }
    const State* At(int device) const { return const_cast<MemoryDeviceTable*>(this)->At(device); }
    /// The device a stream may open: null when there is none or it is set to fail.
    State* Openable(int device) {
        State* s = At(device);
        return (s && !s->desc.openFails) ? s : nullptr;
    }
    void Add(Stream* stream, State& state) {
        ++state.opens;
        streams_.push_back(stream);
    }

    // ---- any thread (each takes the lock) ----
    /// A stream goes: it is counted as a closing when it had been added.
    void Remove(Stream* stream) {
        std::lock_guard lock(mutex_);
        if (std::erase(streams_, stream) > 0)
            if (State* s = At(stream->Device())) ++s->closes;
    }
    /// Number of devices 0..n-1.
    int Count() const {
        std::lock_guard lock(mutex_);
        return int(states_.size()) + first_;
    }
    /// A device's name, unless it has none or its capabilities cannot be read.
    bool Name(int device, std::string& name) const {
        std::lock_guard lock(mutex_);
        const State* s = At(device);
        if (!s || s->desc.nameFails) return false;
        name = s->desc.name;
        return true;
    }
    /// Calls change(state) for a device that exists.
    template <class Change> void Set(int device, Change change) {
        std::lock_guard lock(mutex_);
        if (State* s = At(device)) change(*s);
    }
    /// read(state) for a device that exists, else `otherwise`.
    template <class T, class Read> T Get(int device, T otherwise, Read read) const {
        std::lock_guard lock(mutex_);
        const State* s = At(device);
        return s ? read(*s) : otherwise;
    }
    int OpenCount(int device) const {
        return Get(device, 0, [](const State& s) { return s.opens; });
    }
    bool IsOpen(int device) const {
        std::lock_guard lock(mutex_);
        return std::any_of(streams_.begin(), streams_.end(),
                           [&](Stream* s) { return s->Device() == device; });
    }
    /// Buffers queued on the device's open streams (Stream has `size_t Size()`).
    size_t QueuedBuffers(int device) const {
        std::lock_guard lock(mutex_);
        size_t n = 0;
        for (const Stream* s : streams_)
            if (s->Device() == device) n += s->Size();
        return n;
    }

private:
    const int first_;
    mutable std::mutex mutex_;
    std::vector<State> states_;
    std::vector<Stream*> streams_;
};

/// Calls `advance(frames)` on a thread of its own for the frames (48 per millisecond) that real time
/// brings, at most a second's worth at once.
class RealTimeFrameClock {
public:
    ~RealTimeFrameClock() { Stop(); }
    void Start(std::function<void(uint32_t frames)> advance) {
        if (thread_.joinable()) return;
        stop_ = false;
        thread_ = std::thread([this, advance = std::move(advance)] {
            using namespace std::chrono;
            const auto start = steady_clock::now();
            uint64_t done = 0;
            while (!stop_) {
                std::this_thread::sleep_for(milliseconds(1));
                const auto elapsed = duration_cast<microseconds>(steady_clock::now() - start).count();
                const uint64_t target = uint64_t(elapsed) * kDeviceSampleRate / 1000000;
                if (target > done) {
                    advance(uint32_t(std::min<uint64_t>(target - done, kDeviceSampleRate)));
                    done = target;
                }
            }
        });
    }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

} // namespace mw
