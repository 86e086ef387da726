// The output analyzer: after each block it reads back what its device plays and adds it to its picture.
#include <algorithm>

#include "engine/analyzer_picture.hpp"
#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"

namespace mw {
namespace {

struct AnalyzerState final : KindState {
    AnalyzerPicture picture;
    OutputBlock block;
};

std::unique_ptr<KindState> CreateAnalyzerState(Module&) {
    return std::make_unique<AnalyzerState>();
}

void AnalyzerAfterSubmit(Engine& e, Module& m) {
    auto* st = static_cast<AnalyzerState*>(m.state.get());
    if (!st || !e.drawPictures) return;
    const int32_t device = m.Device(analyzer::Output);
    const bool read = device != kNoOutputDevice && e.AudioOut().ReadBack(device, st->block, false, false);
    if (!read) st->block.samples.fill(0.0); // silence
    const int count = std::clamp(kBaseBlockLength + int(e.blockAdjust.load()), 0, kMaxBlockSamples);
    const auto mode = m.Enum(analyzer::Mode) == analyzer::Analyzer ? AnalyzerPicture::Mode::Analyzer
                                                                   : AnalyzerPicture::Mode::Oscilloscope;
    st->picture.Append(st->block.samples.data(), count, mode);
}

} // namespace

const KindOps kOpsAudioOutputAnalyzer{&CreateAnalyzerState, nullptr, nullptr, &AnalyzerAfterSubmit};

AnalyzerPicture* AnalyzerPictureOf(Module& module) {
    auto* st = dynamic_cast<AnalyzerState*>(module.state.get());
    return st ? &st->picture : nullptr;
}

} // namespace mw
