// Note modules (evaluated as no-ops until their signal processing lands).
#include "engine/kinds/kind_ops.hpp"

namespace mw {

const KindOps kOpsControlNoteEnvelope{};
const KindOps kOpsControlPolyphonicator{};
const KindOps kOpsControlNoteRetard{};
const KindOps kOpsControlSequence{};
const KindOps kOpsControlMIDIInput{};
const KindOps kOpsControlMIDIControllerInput{};
const KindOps kOpsAudioDingDong{};

} // namespace mw
