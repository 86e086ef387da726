#pragma once
// The colour rule of the windows: the colour pairs and rings of the pill buttons and the colours
// of the module windows' controls, all taken from the colour slots of the preferences.

#include <QColor>
#include <QWidget>
#include <cstdint>

#include "app/settings/program_settings.hpp"

namespace mw {

/// The states of a push button that choose its colours. Hot, inactive and default are states the
/// windows never set from the toolkit's hover or default-button state: with the default colours
/// their pairs are black on black.
struct ButtonState {
    bool focus = false;
    bool disabled = false;
    bool inactive = false;
    bool hot = false;
    bool isDefault = false;
};

/// Which of the six colour pairs a button is drawn with.
enum class ButtonPair { Normal, Default, Focused, Disabled, Hot, Inactive };

/// The pair of a state; the first match wins: focus and hot, focus, disabled, inactive, hot,
/// default, otherwise normal.
ButtonPair ButtonPairOf(const ButtonState& state);

/// Every colour a pill button is drawn with.
struct PillColours {
    uint32_t background = 0;
    uint32_t text = 0;
    uint32_t outerRing = 0;
    uint32_t middleRing = 0;
    uint32_t innerRing = 0;
    bool operator==(const PillColours&) const = default;
};

/// Per channel (first × weight + second × (100 − weight)) / 100, truncated; weight in percent.
uint32_t MixColours(uint32_t first, uint32_t second, int firstPercent);

/// The colours of a pill button: the state's pair, and the rings mixed from the module background M
/// and the normal button text N: outer and inner 0.85 M + 0.15 N, middle M, or 0.5 M + 0.5 N with
/// the focus.
PillColours PillColoursOf(const ButtonState& state, const ColourSlots& colours);

QColor ToQColor(uint32_t colourRef);

/// The kinds of control that a module window colours.
enum class ControlColourKind { Static, Edit, ListBox, DropDown, Dialog };

/// Controls coloured like labels whatever their kind: the note-sequence text of the Control-Sequence
/// window, a slider of the Polyphonicator window and the installer's folder field.
inline constexpr int kLabelColouredControls[] = {1302, 1069, 1396};

/// How a module window's control is coloured: its text on its text background, with the module
/// background around it.
struct ControlColours {
    uint32_t text = 0;
    uint32_t textBackground = 0;
    uint32_t background = 0;
    bool operator==(const ControlColours&) const = default;
};

/// Labels (and the controls named above) take the module text on the module background; edits,
/// lists, drop-downs and the window itself the drop-down text on the drop-down background.
ControlColours ModuleControlColours(ControlColourKind kind, int controlNumber, const ColourSlots& colours);

/// Sets the palette of one control of a module window (or of the installer dialog) by that rule.
void ApplyModuleColours(QWidget& control, ControlColourKind kind, int controlNumber,
                        const ColourSlots& colours);

} // namespace mw
