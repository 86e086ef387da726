// Output analyzer (its picture buffer comes with the audio effects).
#include "engine/kinds/kind_ops.hpp"

namespace mw {

const KindOps kOpsAudioOutputAnalyzer{};

} // namespace mw
