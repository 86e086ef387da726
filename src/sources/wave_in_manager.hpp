#pragma once
// The audio input device manager. It opens a device when an audio-input module first uses it in an
// engine block, keeps 1024 capture buffers of 96 mono samples queued on it (one capture thread per
// device re-queues the filled ones), hands the engine two buffers at a time once the input latency is
// buffered, and closes a device at the end of the first engine block in which no module used it.
//
// Threads and locks: the engine thread calls the IAudioInput operations, each under the manager's lock;
// a device is opened and closed with the lock released. The capture threads are woken after each engine
// wake-up (RequeueCaptured, without the lock), take the lock and do nothing while a block is open. The
// device's notices (backend thread) copy the captured samples into their buffer and advance Captured and
// LastDone, all atomics, without the lock.
//
// A device that another program holds is reported through the message callback with string number 126
// ("The audio-input device is already in use and so cannot be used at the moment."), on the engine thread,
// at every failed attempt (every engine block while a module keeps asking): the receiver must not block,
// and should show one message at a time.
//
// Deterministic offline use ("manual pump"): construct with Options{.manualPump = true}; no capture
// threads are started and PumpCapture() does one capture pass per open device. Over the in-memory backend:
//     engine.RenderBlock(); inputs.PumpCapture(); memoryInput.Advance(frames);

#include <array>
#include <cstdint>
#include <functional>

#include "audio/device_lifecycle.hpp"
#include "audio/device_list.hpp"
#include "engine/devices.hpp"
#include "sources/input_backend.hpp"

namespace mw {

inline constexpr int kInputBusyMessage = 126;

class WaveInManager final : public IAudioInput {
public:
    static constexpr int kBufferCount = 1024;
    static constexpr int kRequeuePerPass = 64;

    struct Options {
        bool manualPump = false;
    };
    /// Receives the number of a language string to show to the user.
    using MessageFn = std::function<void(int stringNumber)>;

    explicit WaveInManager(IInputBackend& backend);
    WaveInManager(IInputBackend& backend, Options options);
    ~WaveInManager() override;
    WaveInManager(const WaveInManager&) = delete;
    WaveInManager& operator=(const WaveInManager&) = delete;

    /// Set before the engine starts.
    void SetMessageCallback(MessageFn fn) { message_ = std::move(fn); }

    // ---- engine thread ----
    void BeginInputBlock() override;
    bool UseInputDevice(int32_t deviceNumber) override;
    bool ReadInput(int32_t deviceNumber, uint64_t& position, std::array<int16_t, kInputBufferSamples>& first,
                   std::array<int16_t, kInputBufferSamples>& second, int32_t latencyMs) override;
    void EndInputBlock() override;
    void RequeueCaptured() override;
    void CloseAllInput() override;

    /// Manual-pump mode: one capture pass over every open device.
    void PumpCapture();

    // ---- user-interface thread ----
    /// The input devices, the default (-1) first, each labelled with its product name.
    std::vector<DeviceChoice> ListDevices() const;

    // ---- inspection ----
    bool IsOpen(int32_t device) const;
    int OpenDeviceCount() const;
    /// Captured of an open device (buffers completed; its low 32 bits), 0 when closed.
    uint32_t CapturedBuffers(int32_t device) const;

private:
    struct Device;
    static void OnCaptured(void* context, uint32_t tag, const int16_t* samples, uint32_t count);
    void CapturePassLocked(Device& d);

    IInputBackend& backend_;
    const Options options_;
    MessageFn message_;
    DeviceLifecycle<Device> devices_;
};

} // namespace mw
