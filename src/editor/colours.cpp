#include "editor/colours.hpp"

#include <QPalette>
#include <algorithm>
#include <iterator>

namespace mw {

ButtonPair ButtonPairOf(const ButtonState& state) {
    if (state.focus && state.hot) {
        return ButtonPair::Hot;
    }
    if (state.focus) {
        return ButtonPair::Focused;
    }
    if (state.disabled) {
        return ButtonPair::Disabled;
    }
    if (state.inactive) {
        return ButtonPair::Inactive;
    }
    if (state.hot) {
        return ButtonPair::Hot;
    }
    return state.isDefault ? ButtonPair::Default : ButtonPair::Normal;
}

uint32_t MixColours(uint32_t first, uint32_t second, int firstPercent) {
    // Integer arithmetic keeps the truncation exact where the mix is a whole number.
    const auto mix = [firstPercent](uint8_t a, uint8_t b) {
        return uint8_t((int(a) * firstPercent + int(b) * (100 - firstPercent)) / 100);
    };
    return ColourRefFromRgb(mix(RedOf(first), RedOf(second)), mix(GreenOf(first), GreenOf(second)),
                            mix(BlueOf(first), BlueOf(second)));
}

PillColours PillColoursOf(const ButtonState& state, const ColourSlots& colours) {
    int backgroundSlot = kColourNormalButtonBackground;
    switch (ButtonPairOf(state)) {
    case ButtonPair::Normal:
        backgroundSlot = kColourNormalButtonBackground;
        break;
    case ButtonPair::Default:
        backgroundSlot = kColourDefaultButtonBackground;
        break;
    case ButtonPair::Focused:
        backgroundSlot = kColourFocusedButtonBackground;
        break;
    case ButtonPair::Disabled:
        backgroundSlot = kColourDisabledButtonBackground;
        break;
    case ButtonPair::Hot:
        backgroundSlot = kColourHotButtonBackground;
        break;
    case ButtonPair::Inactive:
        backgroundSlot = kColourInactiveButtonBackground;
        break;
    }
    const uint32_t module = colours[kColourModuleBackground];
    const uint32_t normalText = colours[kColourNormalButtonText];
    PillColours result;
    result.background = colours[size_t(backgroundSlot)];
    result.text = colours[size_t(backgroundSlot) + 1]; // each pair is background, then text
    result.outerRing = MixColours(module, normalText, 85);
    result.middleRing = state.focus ? MixColours(module, normalText, 50) : module;
    result.innerRing = result.outerRing;
    return result;
}

QColor ToQColor(uint32_t colourRef) {
    return QColor(RedOf(colourRef), GreenOf(colourRef), BlueOf(colourRef));
}

ControlColours ModuleControlColours(ControlColourKind kind, int controlNumber, const ColourSlots& colours) {
    const bool labelColoured = kind == ControlColourKind::Static ||
                               std::find(std::begin(kLabelColouredControls), std::end(kLabelColouredControls),
                                         controlNumber) != std::end(kLabelColouredControls);
    ControlColours result;
    result.background = colours[kColourModuleBackground];
    if (labelColoured) {
        result.text = colours[kColourModuleText];
        result.textBackground = colours[kColourModuleBackground];
    } else {
        result.text = colours[kColourModuleDropDownText];
        result.textBackground = colours[kColourModuleDropDownBackground];
    }
    return result;
}

void ApplyModuleColours(QWidget& control, ControlColourKind kind, int controlNumber,
                        const ColourSlots& colours) {
    const ControlColours chosen = ModuleControlColours(kind, controlNumber, colours);
    const QColor text = ToQColor(chosen.text);
    const QColor textBackground = ToQColor(chosen.textBackground);
    QPalette palette = control.palette();
    palette.setColor(QPalette::Window, ToQColor(chosen.background));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Base, textBackground);
    palette.setColor(QPalette::Button, textBackground);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

} // namespace mw
