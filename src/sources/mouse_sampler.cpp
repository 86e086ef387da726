#include "sources/mouse_sampler.hpp"

#include <cerrno>
#include <chrono>
#include <ctime>

#include "engine/engine.hpp"

namespace mw {

namespace {
int64_t PackPair(int a, int b) {
    return int64_t((uint64_t(uint32_t(a)) << 32) | uint64_t(uint32_t(b)));
}
int PairFirst(int64_t v) {
    return int(int32_t(uint32_t(uint64_t(v) >> 32)));
}
int PairSecond(int64_t v) {
    return int(int32_t(uint32_t(uint64_t(v) & 0xFFFFFFFFu)));
}
} // namespace

bool SampledPointer::ReadCursor(int& x, int& y) {
    if (!valid_.load(std::memory_order_acquire)) return false;
    const int64_t v = position_.load(std::memory_order_relaxed);
    x = PairFirst(v);
    y = PairSecond(v);
    return true;
}

ScreenRect SampledPointer::Screen() {
    const int64_t a = topLeft_.load(std::memory_order_relaxed);
    const int64_t b = bottomRight_.load(std::memory_order_relaxed);
    return {PairFirst(a), PairSecond(a), PairFirst(b), PairSecond(b)};
}

void SampledPointer::Publish(CursorPoint position, const ScreenRect& screen) {
    position_.store(PackPair(position.x, position.y), std::memory_order_relaxed);
    topLeft_.store(PackPair(screen.left, screen.top), std::memory_order_relaxed);
    bottomRight_.store(PackPair(screen.right, screen.bottom), std::memory_order_relaxed);
    valid_.store(true, std::memory_order_release);
}

int64_t MonotonicMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepMilliseconds(int ms) {
    timespec request{ms / 1000, long(ms % 1000) * 1000000L};
    timespec remaining{};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &request, &remaining) == EINTR) request = remaining;
}

MouseSampler::MouseSampler(Engine& engine, IPointer& pointer, MouseSamplerControls& controls,
                           MouseStatusView* view, TextLookup lookup)
    : engine_(engine), pointer_(pointer), controls_(controls), view_(view), texts_(std::move(lookup)) {}

MouseSampler::~MouseSampler() {
    quit_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
}

void MouseSampler::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { ThreadMain(); });
}

void MouseSampler::ThreadMain() {
    // Start-up: all measures 0, the start-up rectangle, the clock and the cursor.
    for (auto& m : engine_.rawMeasures) m.store(0.0);
    const ScreenRect startupScreen = pointer_.Screen();
    const int64_t startClock = MonotonicMilliseconds();
    CursorPoint start;
    if (!pointer_.ReadCursor(start.x, start.y)) start = {};
    core_.Start(start, startupScreen);
    texts_.Start(startClock);
    if (view_) view_->Begin(startupScreen, core_.Indicators());

    while (!quit_.load(std::memory_order_relaxed)) {
        if (hook_) hook_();
        const MotionResult res = SampleStep(core_, pointer_, controls_.wheel, controls_.wrapMouse);
        texts_.Travelled(res.step);
        sampled_.Publish(res.position, res.screen);
        const auto& measures = core_.Measures();
        for (int k = 0; k < kMeasureCount; ++k) engine_.rawMeasures[size_t(k)].store(measures[size_t(k)]);
        if (view_ && controls_.showStatusIndicators) {
            view_->ShowIndicators(res.indicators);
            if (res.directionChanged) view_->ShowDirection(res.theta);
        }

        SleepMilliseconds(kPeriodMs);

        const StatusTexts st = texts_.Status(MonotonicMilliseconds());
        const LabelUpdate lu = texts_.Labels({controls_.slidersPresent, controls_.outputLatencySlider,
                                              controls_.inputLatencySlider, controls_.controlRateSlider,
                                              engine_.measuredLatency});
        if (lu.slidersPresent) {
            engine_.outputLatencyMs.store(lu.outputLatencyMs);
            engine_.inputLatencyMs.store(lu.inputLatencyMs);
            engine_.controlRate.store(lu.controlRate);
        }
        if (view_) view_->Show(st, lu);
        iterations_.fetch_add(1, std::memory_order_release);
    }
}

} // namespace mw
