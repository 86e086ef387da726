// Audio effects (evaluated as no-ops until their signal processing lands).
#include "engine/kinds/kind_ops.hpp"

namespace mw {

const KindOps kOpsAudioInput{};
const KindOps kOpsAudioLowPass{};
const KindOps kOpsAudioHighPass{};
const KindOps kOpsAudioStepFunction{};
const KindOps kOpsAudioPitchShift{};
const KindOps kOpsAudioDistortion{};
const KindOps kOpsAudioMultiDelay{};
const KindOps kOpsAudioEcho{};
const KindOps kOpsAudioOutputSplit{};
const KindOps kOpsAudioInputCombine{};

} // namespace mw
