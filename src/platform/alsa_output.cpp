#include "platform/alsa_output.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>

#include "audio/bounded_queue.hpp"
#include "platform/alsa_common.hpp"

namespace mw::platform {
namespace {

class AlsaOutputStream final : public IOutputStream {
public:
    AlsaOutputStream(snd_pcm_t* pcm, OutputDoneFn done, void* context)
        : io_(pcm), done_(done), context_(context) {
        io_.Start([this] { Main(); });
    }
    ~AlsaOutputStream() override { io_.Stop(); }

    // The caller (the manager's writer, once per engine block) feeds the PCM itself when the stream's
    // thread is not at it: the non-blocking write and the look at the played position cost less than
    // waking another thread for every block. What the PCM does not take, the stream's thread writes
    // as room is made.
    bool Write(const int16_t* frames, uint32_t frameCount, uint32_t tag) override {
        {
            std::lock_guard lock(io_.mutex);
            if (io_.Failed() || !queue_.Push({frames, frameCount, tag, 0})) return false;
        }
        if (std::unique_lock feed(feedMutex_, std::try_to_lock); feed.owns_lock() && !Feed()) return true;
        {
            std::lock_guard lock(io_.mutex);
            handOver_ = true;
        }
        io_.cv.notify_one(); // after the lock: the woken thread takes it at once
        return true;
    }

    bool Failed() const override { return io_.Failed(); }
    uint64_t Underruns() const override { return underruns_.load(std::memory_order_relaxed); }

private:
    struct Entry {
        const int16_t* frames;
        uint32_t frameCount;
        uint32_t tag;
        uint64_t end; // stream position after its last frame, once written completely
    };

    // Under feedMutex_. Writes the queued entries as far as the PCM takes them, then reports what has
    // been played. True when entries are left that the PCM had no room for.
    //
    // The queue holds, from its front: `written_` entries written completely (waiting to be played), then
    // the entries still to write (the first of them perhaps in part, `offset_` frames).
    bool Feed() {
        bool full = false;
        for (;;) {
            Entry next{};
            {
                std::lock_guard lock(io_.mutex);
                if (io_.Failed() || written_ >= queue_.Size()) break;
                next = queue_.At(written_);
            }
            const snd_pcm_sframes_t n =
                snd_pcm_writei(io_.pcm, next.frames + 2 * size_t(offset_), next.frameCount - offset_);
            if (n > 0) {
                offset_ += uint32_t(n);
                position_ += uint64_t(n);
                justWrote_ = true;
                if (offset_ == next.frameCount) {
                    std::lock_guard lock(io_.mutex);
                    queue_.At(written_).end = position_;
                    ++written_;
                    offset_ = 0;
                }
            } else if (n == 0 || n == -EAGAIN) {
                full = true;
                break;
            } else {
                Recover(int(n));
            }
        }
        Complete();
        serviced_ = std::chrono::steady_clock::now();
        return full && !io_.Failed();
    }

    // The stream's own thread: writes what the caller left because the PCM was full, and looks at the
    // played position when no caller has for a while (the engine stopped sending here). While the
    // caller feeds the PCM, this thread only wakes to see that it need not look.
    void Main() {
        using namespace std::chrono;
        constexpr auto kLookAgain = milliseconds(100);
        int stalls = 0; // passes in a row that found no room
        for (;;) {
            bool full = false;
            bool due = true;
            {
                std::unique_lock feed(feedMutex_);
                due = steady_clock::now() - serviced_ >= kLookAgain;
                if (stalls > 0 || due || TakeHandOver()) full = Feed();
            }
            stalls = full ? stalls + 1 : 0;
            if (full && stalls == 1) {
                (void)snd_pcm_wait(io_.pcm, 2); // until the PCM has made room
            } else if (full) {
                // The PCM said there was room but took nothing: do not spin.
                std::this_thread::sleep_for(milliseconds(1));
            }
            std::unique_lock lock(io_.mutex);
            if (io_.stop) return;
            if (!full) io_.cv.wait_for(lock, kLookAgain, [this] { return io_.stop || handOver_; });
            if (io_.stop) return;
        }
    }

    bool TakeHandOver() {
        std::lock_guard lock(io_.mutex);
        return std::exchange(handOver_, false);
    }

    void Recover(int err) {
        if (err == -EPIPE) underruns_.fetch_add(1, std::memory_order_relaxed);
        if (snd_pcm_recover(io_.pcm, err, 1) < 0) Fail();
    }

    // A fatal device error: everything queued counts as done (the manager reuses the buffers) and the
    // stream takes nothing more.
    void Fail() {
        io_.failed.store(true, std::memory_order_relaxed);
        std::unique_lock lock(io_.mutex);
        while (queue_.Size() > 0) {
            if (written_ > 0) --written_;
            done_(context_, queue_.Pop().tag);
        }
        offset_ = 0;
    }

    // Reports the buffers whose last frame has been played.
    void Complete() {
        if (io_.Failed()) return;
        snd_pcm_sframes_t delay = 0;
        const int err = snd_pcm_delay(io_.pcm, &delay);
        uint64_t played = played_;
        // A PCM that plays no sound card (ALSA's null plugin, a file) reports no delay even right after a
        // write, where a card reports at least what was just written. Such a PCM is played by the clock
        // instead, 48000 frames a second, so that it cannot drive the engine faster than real time.
        if (err == 0 && !clocked_) {
            noDelayWrites_ = justWrote_ ? (delay <= 0 ? noDelayWrites_ + 1 : 0) : noDelayWrites_;
            if (noDelayWrites_ >= kNoDelayWrites) {
                clocked_ = true;
                clockStart_ = std::chrono::steady_clock::now();
                clockBase_ = played_;
            }
        }
        justWrote_ = false;
        if (clocked_) {
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - clockStart_).count();
            played = std::max(played, std::min(position_, clockBase_ + uint64_t(seconds * 48000.0)));
        } else if (err == 0) {
            if (delay < 0) delay = 0;
            if (uint64_t(delay) <= position_) played = std::max(played, position_ - uint64_t(delay));
        } else if (err == -EPIPE || err == -ESTRPIPE) {
            // Ran dry (or was suspended): what was written has been played or is lost.
            played = position_;
            Recover(err);
        }
        played_ = played;
        std::lock_guard lock(io_.mutex);
        while (written_ > 0 && queue_.At(0).end <= played_) {
            --written_;
            done_(context_, queue_.Pop().tag);
        }
    }

    PcmStreamThread io_;
    const OutputDoneFn done_;
    void* const context_;
    BoundedQueue<Entry> queue_{2048}; // under io_.mutex
    size_t written_ = 0;              // under io_.mutex
    bool handOver_ = false;           // under io_.mutex: a caller left entries for the thread

    // Under feedMutex_: whoever feeds the PCM.
    std::mutex feedMutex_;
    std::chrono::steady_clock::time_point serviced_{};
    uint32_t offset_ = 0;
    uint64_t position_ = 0; // frames written since the stream opened
    uint64_t played_ = 0;
    static constexpr int kNoDelayWrites = 8;
    bool justWrote_ = false;
    int noDelayWrites_ = 0; // writes in a row after which the PCM reported no delay
    bool clocked_ = false;  // played by the clock (see Complete)
    std::chrono::steady_clock::time_point clockStart_;
    uint64_t clockBase_ = 0;

    std::atomic<uint64_t> underruns_{0};
};

} // namespace

AlsaOutputBackend::AlsaOutputBackend() : AlsaOutputBackend(Options{}) {}

AlsaOutputBackend::AlsaOutputBackend(Options options) : options_(std::move(options)) {
    QuietAlsaErrors();
}

int AlsaOutputBackend::DeviceCount() {
    return PcmDevices{SND_PCM_STREAM_PLAYBACK, options_.defaultPcm}.Count();
}

bool AlsaOutputBackend::DeviceName(int device, std::string& name) {
    return PcmDevices{SND_PCM_STREAM_PLAYBACK, options_.defaultPcm}.Name(device, name);
}

std::unique_ptr<IOutputStream> AlsaOutputBackend::Open(int device, OutputDoneFn done, void* context) {
    std::string name;
    std::string error;
    snd_pcm_t* pcm = nullptr;
    if (!PcmDevices{SND_PCM_STREAM_PLAYBACK, options_.defaultPcm}.Pcm(device, name)) {
        error = "There is no ALSA output device " + std::to_string(device) + ".";
    } else if (const int err = OpenPcm(name, SND_PCM_STREAM_PLAYBACK, 2, options_.bufferUs, &pcm); err < 0) {
        error = "The ALSA output device \"" + name + "\" cannot be opened: " + snd_strerror(err) + ".";
    }
    if (!pcm) {
        std::lock_guard lock(errorMutex_);
        lastError_ = std::move(error);
        return nullptr;
    }
    return std::make_unique<AlsaOutputStream>(pcm, done, context);
}

std::string AlsaOutputBackend::LastOpenError() {
    std::lock_guard lock(errorMutex_);
    return lastError_;
}

} // namespace mw::platform
