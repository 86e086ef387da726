// Oscillator and control modulator (evaluated as silent no-ops until their signal processing lands).
#include "engine/kinds/kind_ops.hpp"

namespace mw {

const KindOps kOpsAudioOsc{};
const KindOps kOpsControlModulator{};

} // namespace mw
