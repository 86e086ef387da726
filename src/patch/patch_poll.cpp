#include "patch/patch_poll.hpp"

#include "engine/kinds/note_modules.hpp"
#include "patch/patch.hpp"

namespace mw {

bool ProcessSliderLearning(Patch& patch, bool newSliderSigned) {
    const AddSliderFn addSlider = [&patch](Module& m, int32_t controller, bool negative) {
        return patch.AddSlider(&m, controller, negative);
    };
    bool changed = false;
    for (Module* m : patch.Modules(ModuleKind::ControlMIDIControllerInput))
        changed = CompleteSliderRequests(*m, newSliderSigned, addSlider) || changed;
    for (Module* m : patch.Modules(ModuleKind::ControlSequence))
        changed = CompleteSequenceText(*m) || changed;
    return changed;
}

bool HasSliderLearningWork(const Patch& patch) {
    return patch.Count(ModuleKind::ControlMIDIControllerInput) > 0 ||
           patch.Count(ModuleKind::ControlSequence) > 0;
}

} // namespace mw
