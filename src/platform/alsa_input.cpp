#include "platform/alsa_input.hpp"

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/thread_priority.hpp"
#include "platform/alsa_common.hpp"

namespace mw::platform {
namespace {

class AlsaInputStream final : public IInputStream {
public:
    AlsaInputStream(snd_pcm_t* pcm, InputDoneFn done, void* context)
        : pcm_(pcm), done_(done), context_(context), ring_(kCapacity) {
        thread_ = std::thread([this] { Main(); });
    }

    ~AlsaInputStream() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }

    bool AddBuffer(uint32_t tag) override {
        std::lock_guard lock(mutex_);
        if (failed_.load(std::memory_order_relaxed) || count_ == kCapacity) return false;
        ring_[(head_ + count_) % kCapacity] = tag;
        ++count_;
        return true;
    }

    bool Start() override {
        {
            std::lock_guard lock(mutex_);
            started_ = true;
        }
        cv_.notify_all();
        return true;
    }

    bool Failed() const override { return failed_.load(std::memory_order_relaxed); }
    uint64_t Overruns() const override { return overruns_.load(std::memory_order_relaxed); }

private:
    static constexpr size_t kCapacity = 2048;

    void Main() {
        RaiseDeviceThreadPriority();
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return stop_ || started_; });
            if (stop_) return;
        }
        (void)snd_pcm_start(pcm_);
        using clock = std::chrono::steady_clock;
        auto t0 = clock::now();
        uint64_t frames = 0;
        uint32_t fill = 0;
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                if (stop_) return;
            }
            if (failed_.load(std::memory_order_relaxed)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const snd_pcm_sframes_t n =
                snd_pcm_readi(pcm_, scratch_.data() + fill, kCaptureBufferSamples - fill);
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
                if (snd_pcm_wait(pcm_, 5) != 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                t0 = clock::now();
                frames = 0;
            } else {
                if (n == -EPIPE) overruns_.fetch_add(1, std::memory_order_relaxed);
                if (snd_pcm_recover(pcm_, int(n), 1) < 0)
                    failed_.store(true, std::memory_order_relaxed);
                else
                    (void)snd_pcm_start(pcm_);
            }
        }
    }

    void Deliver() {
        uint32_t tag = 0;
        {
            std::lock_guard lock(mutex_);
            if (count_ == 0) {
                overruns_.fetch_add(1, std::memory_order_relaxed); // no buffer queued: dropped
                return;
            }
            tag = ring_[head_];
            head_ = (head_ + 1) % kCapacity;
            --count_;
        }
        done_(context_, tag, scratch_.data(), uint32_t(kCaptureBufferSamples));
    }

    snd_pcm_t* const pcm_;
    const InputDoneFn done_;
    void* const context_;

    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<uint32_t> ring_;
    size_t head_ = 0;
    size_t count_ = 0;
    bool started_ = false;
    bool stop_ = false;

    std::array<int16_t, kCaptureBufferSamples> scratch_{};
    std::atomic<bool> failed_{false};
    std::atomic<uint64_t> overruns_{0};
    std::thread thread_;
};

} // namespace

AlsaInputBackend::AlsaInputBackend() : AlsaInputBackend(Options{}) {}

AlsaInputBackend::AlsaInputBackend(Options options) : options_(std::move(options)) {
    QuietAlsaErrors();
}

int AlsaInputBackend::DeviceCount() {
    return int(ListPcms(SND_PCM_STREAM_CAPTURE).size());
}

bool AlsaInputBackend::DeviceName(int device, std::string& name) {
    const auto pcms = ListPcms(SND_PCM_STREAM_CAPTURE);
    if (device == -1) {
        if (options_.defaultPcm == "default" && DefaultPcmDescription(SND_PCM_STREAM_CAPTURE, name))
            return true;
        for (const PcmHint& h : pcms)
            if (h.name == options_.defaultPcm) {
                name = h.description;
                return true;
            }
        for (const PcmHint& h : pcms)
            if (h.name != "null") {
                name = "Default ALSA Input";
                return true;
            }
        return false;
    }
    if (device < 0 || device >= int(pcms.size())) return false;
    name = pcms[size_t(device)].description;
    return true;
}

std::unique_ptr<IInputStream> AlsaInputBackend::Open(int device, InputDoneFn done, void* context,
                                                     InputOpenStatus& status) {
    status = InputOpenStatus::Failed;
    std::string name;
    if (device == -1) {
        name = options_.defaultPcm;
    } else {
        const auto pcms = ListPcms(SND_PCM_STREAM_CAPTURE);
        if (device < 0 || device >= int(pcms.size())) return nullptr;
        name = pcms[size_t(device)].name;
    }
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
