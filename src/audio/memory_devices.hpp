#pragma once
// What the in-memory audio backends share: their device table, where device d sits at index d + 1 (the
// default device -1 first), and a clock thread that moves them on as real time passes.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "audio/output_backend.hpp"

namespace mw {

/// The state of device `device` (-1 = default), or null. State has a `desc` with `name` and `nameFails`.
template <class State> State* MemoryDeviceAt(std::vector<State>& devices, int device) {
    const int i = device + 1;
    return (i >= 0 && i < int(devices.size())) ? &devices[size_t(i)] : nullptr;
}
template <class State> const State* MemoryDeviceAt(const std::vector<State>& devices, int device) {
    const int i = device + 1;
    return (i >= 0 && i < int(devices.size())) ? &devices[size_t(i)] : nullptr;
}
/// A device's name, unless it has none or its capabilities cannot be read.
template <class State>
bool MemoryDeviceName(const std::vector<State>& devices, int device, std::string& name) {
    const State* s = MemoryDeviceAt(devices, device);
    if (!s || s->desc.nameFails) return false;
    name = s->desc.name;
    return true;
}

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
