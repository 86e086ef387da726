#include "cli/gesture_recorder.hpp"

namespace mw::cli {

bool RecordingPointer::ReadCursor(int& x, int& y) {
    const bool ok = inner_.ReadCursor(x, y);
    std::lock_guard lock(mutex_);
    if (ok) last_ = {x, y};
    if (started_)
        reads_.push_back(last_);
    else
        started_ = true; // the start-up read: the offline sampler takes the gesture's first point for it
    return ok;
}

std::string RecordingPointer::Csv() const {
    std::lock_guard lock(mutex_);
    std::string csv = "t_ms,x,y\n";
    for (size_t k = 0; k < reads_.size(); ++k)
        csv += std::to_string(k * 10) + "," + std::to_string(reads_[k].first) + "," +
               std::to_string(reads_[k].second) + "\n";
    return csv;
}

} // namespace mw::cli
