#include "platform/alsa_output.hpp"

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

class AlsaOutputStream final : public IOutputStream {
public:
    AlsaOutputStream(snd_pcm_t* pcm, OutputDoneFn done, void* context)
        : pcm_(pcm), done_(done), context_(context), ring_(kCapacity) {
        thread_ = std::thread([this] { Main(); });
    }

    ~AlsaOutputStream() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }

    bool Write(const int16_t* frames, uint32_t frameCount, uint32_t tag) override {
        std::lock_guard lock(mutex_);
        if (failed_.load(std::memory_order_relaxed) || count_ == kCapacity) return false;
        ring_[(head_ + count_) % kCapacity] = {frames, frameCount, tag, 0};
        ++count_;
        cv_.notify_one();
        return true;
    }

    bool Failed() const override { return failed_.load(std::memory_order_relaxed); }
    uint64_t Underruns() const override { return underruns_.load(std::memory_order_relaxed); }

private:
    static constexpr size_t kCapacity = 2048;
    struct Entry {
        const int16_t* frames;
        uint32_t frameCount;
        uint32_t tag;
        uint64_t end; // stream position after its last frame, once written completely
    };

    // The ring holds, from head_: `written_` entries written completely (waiting to be played), then the
    // entries still to write (the first of them perhaps in part, `offset_` frames).
    void Main() {
        RaiseDeviceThreadPriority();
        int stalls = 0; // writes in a row that found no room
        for (;;) {
            Entry next{};
            bool haveNext = false;
            {
                std::unique_lock lock(mutex_);
                if (stop_) return;
                if (written_ < count_ && !failed_.load(std::memory_order_relaxed)) {
                    next = ring_[(head_ + written_) % kCapacity];
                    haveNext = true;
                }
            }
            bool wait = !haveNext;
            if (haveNext) {
                const snd_pcm_sframes_t n =
                    snd_pcm_writei(pcm_, next.frames + 2 * size_t(offset_), next.frameCount - offset_);
                if (n >= 0) {
                    offset_ += uint32_t(n);
                    position_ += uint64_t(n);
                    if (offset_ == next.frameCount) {
                        std::lock_guard lock(mutex_);
                        ring_[(head_ + written_) % kCapacity].end = position_;
                        ++written_;
                        offset_ = 0;
                    }
                    wait = n == 0;
                } else if (n == -EAGAIN) {
                    wait = true;
                } else {
                    Recover(int(n));
                }
            }
            Complete();
            stalls = (wait && haveNext) ? stalls + 1 : 0;
            if (wait) {
                if (haveNext && stalls == 1) {
                    (void)snd_pcm_wait(pcm_, 2); // the device buffer is full: until room is made
                } else if (haveNext) {
                    // The device said there was room but took nothing: do not spin.
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                } else {
                    std::unique_lock lock(mutex_);
                    cv_.wait_for(lock, std::chrono::milliseconds(1),
                                 [this] { return stop_ || written_ < count_; });
                }
            }
        }
    }

    void Recover(int err) {
        if (err == -EPIPE) underruns_.fetch_add(1, std::memory_order_relaxed);
        if (snd_pcm_recover(pcm_, err, 1) < 0) Fail();
    }

    // A fatal device error: everything queued counts as done (the manager reuses the buffers) and the
    // stream takes nothing more.
    void Fail() {
        failed_.store(true, std::memory_order_relaxed);
        std::unique_lock lock(mutex_);
        while (count_ > 0) {
            const uint32_t tag = ring_[head_].tag;
            head_ = (head_ + 1) % kCapacity;
            --count_;
            if (written_ > 0) --written_;
            done_(context_, tag);
        }
        offset_ = 0;
    }

    // Reports the buffers whose last frame has been played.
    void Complete() {
        if (failed_.load(std::memory_order_relaxed)) return;
        snd_pcm_sframes_t delay = 0;
        const int err = snd_pcm_delay(pcm_, &delay);
        uint64_t played = played_;
        if (err == 0) {
            if (delay < 0) delay = 0;
            if (uint64_t(delay) <= position_) played = std::max(played, position_ - uint64_t(delay));
        } else if (err == -EPIPE || err == -ESTRPIPE) {
            // Ran dry (or was suspended): what was written has been played or is lost.
            played = position_;
            Recover(err);
        }
        played_ = played;
        std::lock_guard lock(mutex_);
        while (written_ > 0 && ring_[head_].end <= played_) {
            const uint32_t tag = ring_[head_].tag;
            head_ = (head_ + 1) % kCapacity;
            --count_;
            --written_;
            done_(context_, tag);
        }
    }

    snd_pcm_t* const pcm_;
    const OutputDoneFn done_;
    void* const context_;

    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<Entry> ring_;
    size_t head_ = 0;
    size_t count_ = 0;
    size_t written_ = 0;
    bool stop_ = false;

    // Feeder thread only.
    uint32_t offset_ = 0;
    uint64_t position_ = 0; // frames written since the stream opened
    uint64_t played_ = 0;

    std::atomic<bool> failed_{false};
    std::atomic<uint64_t> underruns_{0};
    std::thread thread_;
};

} // namespace

AlsaOutputBackend::AlsaOutputBackend() : AlsaOutputBackend(Options{}) {}

AlsaOutputBackend::AlsaOutputBackend(Options options) : options_(std::move(options)) {
    QuietAlsaErrors();
}

int AlsaOutputBackend::DeviceCount() {
    return int(ListPcms(SND_PCM_STREAM_PLAYBACK).size());
}

bool AlsaOutputBackend::DeviceName(int device, std::string& name) {
    if (device == -1) {
        if (DefaultPcmDescription(SND_PCM_STREAM_PLAYBACK, name) && options_.defaultPcm == "default")
            return true;
        const auto pcms = ListPcms(SND_PCM_STREAM_PLAYBACK);
        for (const PcmHint& h : pcms)
            if (h.name == options_.defaultPcm) {
                name = h.description;
                return true;
            }
        // Without a hint for it the default still exists when some card does.
        for (const PcmHint& h : pcms)
            if (h.name != "null") {
                name = "Default ALSA Output";
                return true;
            }
        return false;
    }
    const auto pcms = ListPcms(SND_PCM_STREAM_PLAYBACK);
    if (device < 0 || device >= int(pcms.size())) return false;
    name = pcms[size_t(device)].description;
    return true;
}

bool AlsaOutputBackend::PcmName(int device, std::string& pcm) const {
    if (device == -1) {
        pcm = options_.defaultPcm;
        return true;
    }
    const auto pcms = ListPcms(SND_PCM_STREAM_PLAYBACK);
    if (device < 0 || device >= int(pcms.size())) return false;
    pcm = pcms[size_t(device)].name;
    return true;
}

std::unique_ptr<IOutputStream> AlsaOutputBackend::Open(int device, OutputDoneFn done, void* context) {
    std::string name;
    if (!PcmName(device, name)) return nullptr;
    snd_pcm_t* pcm = nullptr;
    if (OpenPcm(name, SND_PCM_STREAM_PLAYBACK, 2, options_.bufferUs, &pcm) < 0) return nullptr;
    return std::make_unique<AlsaOutputStream>(pcm, done, context);
}

} // namespace mw::platform
