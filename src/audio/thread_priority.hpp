#pragma once
// Device threads (output writers, input capture, PCM streams) ask for real-time scheduling; without the
// right to it they keep normal scheduling quietly.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace mw {

void RaiseDeviceThreadPriority();

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
    /// Runs pass() about every millisecond until stopped.
    template <class Pass> void StartPasses(Pass pass) {
        Start([this, pass] {
            for (;;) {
                {
                    std::unique_lock wake(mutex);
                    cv.wait_for(wake, std::chrono::milliseconds(1), [this] { return stop; });
                    if (stop) return;
                }
                pass();
            }
        });
    }
    void Stop() {
        {
            std::lock_guard wake(mutex);
            stop = true;
        }
        cv.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    std::mutex mutex;
    std::condition_variable cv;
    bool stop = false; ///< under the lock

private:
    std::thread thread_;
};

} // namespace mw
