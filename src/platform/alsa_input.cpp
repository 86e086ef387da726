#include "platform/alsa_input.hpp"

#include <array>
#include <cerrno>
#include <chrono>

#include "audio/bounded_queue.hpp"
#include "platform/alsa_common.hpp"

namespace mw::platform {
namespace {

class AlsaInputStream final : public IInputStream {
public:
    AlsaInputStream(snd_pcm_t* pcm, InputDoneFn done, void* context)
        : io_(pcm), done_(done), context_(context) {
        io_.Start([this] { Main(); });
    }
    ~AlsaInputStream() override { io_.Stop(); }

    bool AddBuffer(uint32_t tag) override {
        std::lock_guard lock(io_.mutex);
        return !io_.Failed() && queue_.Push(tag);
    }

    bool Start() override {
        {
            std::lock_guard lock(io_.mutex);
            started_ = true;
        }
        io_.cv.notify_all();
        return true;
    }

    bool Failed() const override { return io_.Failed(); }
    uint64_t Overruns() const override { return overruns_.load(std::memory_order_relaxed); }

private:
    void Main() {
        {
            std::unique_lock lock(io_.mutex);
            io_.cv.wait(lock, [this] { return io_.stop || started_; });
            if (io_.stop) return;
        }
        (void)snd_pcm_start(io_.pcm);
        using clock = std::chrono::steady_clock;
        auto t0 = clock::now();
        uint64_t frames = 0;
        uint32_t fill = 0;
        for (;;) {
            {
                std::lock_guard lock(io_.mutex);
                if (io_.stop) return;
            }
            if (io_.Failed()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const snd_pcm_sframes_t n =
                snd_pcm_readi(io_.pcm, scratch_.data() + fill, kCaptureBufferSamples - fill);
            if (n > 0) {
                fill += uint32_t(n);
                frames += uint64_t(n);
                if (fill == uint32_t(kCaptureBufferSamples)) {
                    fill = 0;
                    Deliver();
                }
                // Never faster than real time: a device without a clock of its own (ALSA's "null")
                // delivers at once and never makes us wait.
                const auto due = t0 + std::chrono::microseconds(frames * 1000000 / 48000);
                if (due > clock::now() + std::chrono::milliseconds(10)) std::this_thread::sleep_until(due);
            } else if (n == -EAGAIN || n == 0) {
                // A device with a clock of its own makes us wait: the pace is its own from here.
                if (snd_pcm_wait(io_.pcm, 5) != 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                t0 = clock::now();
                frames = 0;
            } else {
                if (n == -EPIPE) overruns_.fetch_add(1, std::memory_order_relaxed);
                if (snd_pcm_recover(io_.pcm, int(n), 1) < 0)
                    io_.failed.store(true, std::memory_order_relaxed);
                else
                    (void)snd_pcm_start(io_.pcm);
            }
        }
    }

    void Deliver() {
        uint32_t tag = 0;
        {
            std::lock_guard lock(io_.mutex);
            if (queue_.Size() == 0) {
                overruns_.fetch_add(1, std::memory_order_relaxed); // no buffer queued: dropped
                return;
            }
            tag = queue_.Pop();
        }
        done_(context_, tag, scratch_.data(), uint32_t(kCaptureBufferSamples));
    }

    PcmStreamThread io_;
    const InputDoneFn done_;
    void* const context_;
    BoundedQueue<uint32_t> queue_{2048}; // under io_.mutex
    bool started_ = false;               // under io_.mutex

    std::array<int16_t, kCaptureBufferSamples> scratch_{};
    std::atomic<uint64_t> overruns_{0};
};

} // namespace

AlsaInputBackend::AlsaInputBackend() : AlsaInputBackend(Options{}) {}

AlsaInputBackend::AlsaInputBackend(Options options) : options_(std::move(options)) {
    QuietAlsaErrors();
}

int AlsaInputBackend::DeviceCount() {
    return PcmDevices{SND_PCM_STREAM_CAPTURE, options_.defaultPcm}.Count();
}

bool AlsaInputBackend::DeviceName(int device, std::string& name) {
    return PcmDevices{SND_PCM_STREAM_CAPTURE, options_.defaultPcm}.Name(device, name);
}

std::unique_ptr<IInputStream> AlsaInputBackend::Open(int device, InputDoneFn done, void* context,
                                                     InputOpenStatus& status) {
    status = InputOpenStatus::Failed;
    std::string name;
    if (!PcmDevices{SND_PCM_STREAM_CAPTURE, options_.defaultPcm}.Pcm(device, name)) return nullptr;
    snd_pcm_t* pcm = nullptr;
    const int err = OpenPcm(name, SND_PCM_STREAM_CAPTURE, 1, options_.bufferUs, &pcm);
    if (err < 0) {
        if (err == -EBUSY) status = InputOpenStatus::Busy;
        return nullptr;
    }
    status = InputOpenStatus::Ok;
    return std::make_unique<AlsaInputStream>(pcm, done, context);
}

} // namespace mw::platform
