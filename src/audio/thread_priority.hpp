#pragma once
// Device threads (output writers, input capture, PCM streams) ask for real-time scheduling; without the
// right to it they keep normal scheduling quietly.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace mw {

void RaiseDeviceThreadPriority();

/// Sleeps while word holds seen (a private futex; spurious returns are possible). Unlike
/// std::atomic::wait it does not spin or yield first: a thread that is woken once per engine wake-up
/// would pay for those system calls every time for nothing.
void WaitWhileEqual(const std::atomic<uint32_t>& word, uint32_t seen);
/// Wakes one thread sleeping in WaitWhileEqual on word.
void WakeOne(const std::atomic<uint32_t>& word);

/// A device thread with a stop flag, and a lock and wake-up that it shares with its owner. Stop (or the
/// destruction) sets the flag, wakes the thread and waits for it to end.
class DeviceThread {
public:
    DeviceThread() = default;
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;
    ~DeviceThread() { Stop(); }

    template <class Main> void Start(Main main) {
        thread_ = std::thread([main] {
            RaiseDeviceThreadPriority();
            main();
        });
    }
    /// Runs pass() once after each Wake() until stopped; wakes that come during a pass make one more.
    /// The waker takes no lock (the engine thread wakes the device threads after each of its wake-ups).
    template <class Pass> void StartWokenPasses(Pass pass) {
        Start([this, pass] {
            uint32_t seen = wakes_.load(std::memory_order_acquire);
            for (;;) {
                while (wakes_.load(std::memory_order_acquire) == seen) WaitWhileEqual(wakes_, seen);
                if (stopping_.load(std::memory_order_acquire)) return;
                seen = wakes_.load(std::memory_order_acquire);
                pass();
            }
        });
    }
    void Wake() {
        wakes_.fetch_add(1, std::memory_order_release);
        WakeOne(wakes_);
    }
    void Stop() {
        {
            std::lock_guard wake(mutex);
            stop = true;
        }
        stopping_.store(true, std::memory_order_release);
        Wake();
        cv.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    std::mutex mutex;
    std::condition_variable cv;
    bool stop = false; ///< under the lock

private:
    std::thread thread_;
    std::atomic<uint32_t> wakes_{0};
    std::atomic<bool> stopping_{false};
};

} // namespace mw
