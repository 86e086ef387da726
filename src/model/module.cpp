#include "model/module.hpp"

namespace mw {

Module::Module(ModuleKind k) : kind(k) {
    const KindSchema& s = Schema(k);
    links = std::make_unique<ControlLink[]>(s.links.size());
    for (size_t i = 0; i < s.links.size(); ++i) {
        links[i].source = s.links[i].defaultSource;
        links[i].sensitivity = 100.0;
        links[i].value = s.links[i].defaultValue;
    }
    inputs = std::make_unique<Relaxed<SourceId>[]>(s.inputs.size());
    for (size_t i = 0; i < s.inputs.size(); ++i) inputs[i] = kNoSource;
    reals = std::make_unique<Relaxed<double>[]>(s.reals.size());
    for (size_t i = 0; i < s.reals.size(); ++i) reals[i] = s.reals[i].defaultValue;
    ints = std::make_unique<Relaxed<int32_t>[]>(s.ints.size());
    for (size_t i = 0; i < s.ints.size(); ++i) ints[i] = s.ints[i].defaultValue;
    bools = std::make_unique<Relaxed<bool>[]>(s.bools.size());
    for (size_t i = 0; i < s.bools.size(); ++i) bools[i] = s.bools[i].defaultValue;
    texts.resize(s.texts.size());
    enums = std::make_unique<Relaxed<int32_t>[]>(s.enums.size());
    for (size_t i = 0; i < s.enums.size(); ++i) enums[i] = s.enums[i].defaultValue;
    devices = std::make_unique<Relaxed<int32_t>[]>(s.devices.size());
    for (size_t i = 0; i < s.devices.size(); ++i) devices[i] = s.devices[i].defaultValue;
    if (s.controllers) sliders = std::make_unique<std::array<SliderEntry, kMaxSliders>>();
}

int Module::OutputCount() const {
    if (sliders) return sliderCount;
    return Info(kind).outputs;
}

int32_t Module::OutputSlot(int k) const {
    if (sliders) return (k >= 0 && k < sliderCount) ? (*sliders)[k].slot.load() : -1;
    return (k >= 0 && k < 2) ? slot[k].load() : -1;
}

} // namespace mw
