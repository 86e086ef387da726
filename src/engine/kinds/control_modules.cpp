// Neuron and control-shaping modules (evaluated as no-ops until their signal processing lands).
#include "engine/kinds/kind_ops.hpp"

namespace mw {

const KindOps kOpsControlNeuron{};
const KindOps kOpsControlSensitizer{};
const KindOps kOpsControlEcho{};
const KindOps kOpsControlCombine{};
const KindOps kOpsControlRange{};
const KindOps kOpsControlOffset{};
const KindOps kOpsControlGain{};
const KindOps kOpsControlInput{};
const KindOps kOpsControlStepFunction{};
const KindOps kOpsControlLowCut{};
const KindOps kOpsControlClosestNote{};
const KindOps kOpsControlNoteCombine{};
const KindOps kOpsControlSensor{};

} // namespace mw
