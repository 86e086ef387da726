#pragma once
// Recording a performance: the cursor path exactly as the live mouse sampler read it, written in the
// CSV form that --gesture reads, so that an offline render replays the same sampler readings.

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/pointer.hpp"

namespace mw::cli {

/// Wraps the pointer the sampler reads. The sampler reads the cursor once at its start and then once per
/// iteration; every iteration's reading is kept (a failed read keeps the last position), and iteration k
/// is written at t = 10 ms x k, the time at which the offline sampler reads a gesture for iteration k.
class RecordingPointer final : public IPointer {
public:
    explicit RecordingPointer(IPointer& inner) : inner_(inner) {}
    bool ReadCursor(int& x, int& y) override;
    bool SetCursor(int x, int y) override { return inner_.SetCursor(x, y); }
    ScreenRect Screen() override { return inner_.Screen(); }

    /// "t_ms,x,y" and one line per iteration read so far.
    std::string Csv() const;

private:
    IPointer& inner_;
    mutable std::mutex mutex_;
    bool started_ = false;
    std::pair<int, int> last_{0, 0};
    std::vector<std::pair<int, int>> reads_;
};

} // namespace mw::cli
