#pragma once
// In-memory device stand-ins that record what the engine hands them.

#include <array>
#include <optional>
#include <vector>

#include "engine/devices.hpp"

namespace mw::test {

struct Submission {
    int32_t id;
    OutputBlock block;
};

class RecordingAudioOutput final : public IAudioOutput {
public:
    void BeginBlock() override {
        ++begins;
        inBlock = true;
    }
    bool Submit(int32_t id, const OutputBlock& block, int64_t* q) override {
        submissions.push_back({id, block});
        const int slot = id >= 199 ? id - 199 : id - 99;
        if (q) *q = (slot >= 0 && slot < 10) ? queuedByDeviceSlot[slot] : 0;
        return inBlock;
    }
    void EndBlock() override {
        ++ends;
        inBlock = false;
    }
    void SendEnded() override { endsAtSend.push_back(ends); }
    bool ReadBack(int32_t id, OutputBlock& block, bool, bool) override { // gives readBackValue if set
        readBackId = id;
        if (readBackValue) block.samples.fill(*readBackValue);
        return readBackValue.has_value();
    }
    void CloseAll() override { ++closeAlls; }
    std::vector<Submission> submissions;
    std::array<int64_t, 10> queuedByDeviceSlot{}; // what Submit reports, per device slot
    std::vector<int> endsAtSend;                  // how many blocks had ended at each SendEnded
    std::optional<double> readBackValue;
    int32_t readBackId = 0;
    int begins = 0, ends = 0, closeAlls = 0;
    bool inBlock = false;
};

} // namespace mw::test
