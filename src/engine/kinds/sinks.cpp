// The output module and the wave writer: the engine routes the output module itself and the output
// manager taps the wave writer's device, so neither has per-sample work of its own.
#include "engine/kinds/kind_ops.hpp"

namespace mw {

const KindOps kOpsAudioOutput{};
const KindOps kOpsAudioWaveWriter{};

} // namespace mw
