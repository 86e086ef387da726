#pragma once
// The mouse sampler thread: every 10 ms it reads the cursor, lets `MouseSamplerCore` derive the nineteen
// mouse measures (sources/mouse_measures.hpp) and hands them to the engine, wraps the cursor at the
// screen edges, and keeps the speed, distance, latency and control-rate texts of the main window up to
// date (sources/mouse_status.hpp). The offline renderer drives `MouseSamplerCore` directly with a
// scripted pointer.

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "base/relaxed.hpp"
#include "base/text.hpp"
#include "engine/pointer.hpp"
#include "sources/mouse_measures.hpp"
#include "sources/mouse_status.hpp"

namespace mw {

class Engine;

/// The cursor as the sampler last saw it, for readers that must not wait for the windowing system
/// (the engine thread's sensor modules): reading is two relaxed loads; setting is not offered.
class SampledPointer : public IPointer {
public:
    /// False until the sampler has read the cursor once.
    bool ReadCursor(int& x, int& y) override;
    bool SetCursor(int /*x*/, int /*y*/) override { return false; }
    ScreenRect Screen() override;
    /// Called by the sampler after each iteration.
    void Publish(CursorPoint position, const ScreenRect& screen);

private:
    std::atomic<int64_t> position_{0};
    std::atomic<int64_t> topLeft_{0};
    std::atomic<int64_t> bottomRight_{0};
    std::atomic<bool> valid_{false};
};

/// Settings and controls the sampler reads every iteration; written by the user-interface thread.
struct MouseSamplerControls {
    Relaxed<bool> wrapMouse{true};
    Relaxed<bool> showStatusIndicators{true};
    /// The main window mirrors its three slider positions here and sets `slidersPresent`.
    Relaxed<bool> slidersPresent{false};
    Relaxed<int32_t> outputLatencySlider{50};
    Relaxed<int32_t> inputLatencySlider{20};
    Relaxed<int32_t> controlRateSlider{0};
    /// The wheel handler of the main window calls `wheel.OnWheel(delta)`.
    WheelState wheel;
};

/// The sampler thread. Started once; it runs until the object is destroyed (the program never
/// stops it; tests destroy it, which ends and joins the thread). Independent of Start/Stop of the sound.
class MouseSampler {
public:
    static constexpr int kPeriodMs = 10;

    /// `view` may be null. `pointer`, `controls`, `view` and `engine` must outlive the sampler.
    MouseSampler(Engine& engine, IPointer& pointer, MouseSamplerControls& controls,
                 MouseStatusView* view = nullptr, TextLookup lookup = {});
    ~MouseSampler();
    MouseSampler(const MouseSampler&) = delete;
    MouseSampler& operator=(const MouseSampler&) = delete;

    /// Called on the sampler thread at the start of every iteration, before the cursor is read (a
    /// scripted pointer advances here). Set before `Start`.
    void SetIterationHook(std::function<void()> hook) { hook_ = std::move(hook); }

    /// Starts the thread; later calls do nothing.
    void Start();
    bool Started() const { return thread_.joinable(); }
    /// The cursor as this sampler last saw it; hand it to the engine (`Engine::SetPointer`) so that
    /// modules reading the cursor never wait for the windowing system.
    SampledPointer& Sampled() { return sampled_; }
    /// Iterations completed so far.
    uint64_t Iterations() const { return iterations_.load(std::memory_order_acquire); }

private:
    void ThreadMain();

    Engine& engine_;
    IPointer& pointer_;
    MouseSamplerControls& controls_;
    MouseStatusView* view_;
    MouseSamplerCore core_;
    MouseStatusTexts texts_;
    std::function<void()> hook_;
    SampledPointer sampled_;
    std::atomic<bool> quit_{false};
    std::atomic<uint64_t> iterations_{0};
    std::thread thread_;
};

/// Milliseconds of the monotonic clock (the sampler's processor clock).
int64_t MonotonicMilliseconds();

/// Sleeps for `ms` milliseconds on the monotonic clock, resuming after interruptions.
void SleepMilliseconds(int ms);

} // namespace mw
