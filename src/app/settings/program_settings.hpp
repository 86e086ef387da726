#pragma once
// The program's preferences: the record that the settings file stores, with its defaults.
//
// This is a plain value record, read and written on the user-interface thread. Values that other
// threads use while the program runs (latencies, control rate, block time, real-time priority, mouse
// wrapping, the status indicators) are copied into the engine's shared fields by the code that owns
// those threads, and back before saving.

#include <array>
#include <cstdint>
#include <string>

#include "i18n/language_strings.hpp"

namespace mw {

/// A colour as the settings file stores it: red in the low byte, then green, then blue, top byte 0
/// (the layout 0x00BBGGRR).
constexpr uint32_t ColourRefFromRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
}
constexpr uint8_t RedOf(uint32_t colour) {
    return uint8_t(colour & 0xFF);
}
constexpr uint8_t GreenOf(uint32_t colour) {
    return uint8_t((colour >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(uint32_t colour) {
    return uint8_t((colour >> 16) & 0xFF);
}

/// The 18 colour slots; slot n of the preferences is index n - 1.
enum ColourSlot : int {
    kColourDialogBackground = 0,
    kColourDialogText,
    kColourModuleBackground,
    kColourModuleText,
    kColourModuleDropDownBackground,
    kColourModuleDropDownText,
    kColourNormalButtonBackground,
    kColourNormalButtonText,
    kColourDefaultButtonBackground,
    kColourDefaultButtonText,
    kColourFocusedButtonBackground,
    kColourFocusedButtonText,
    kColourDisabledButtonBackground,
    kColourDisabledButtonText,
    kColourHotButtonBackground,
    kColourHotButtonText,
    kColourInactiveButtonBackground,
    kColourInactiveButtonText,
    kColourSlotCount
};

/// The colour slots as the preferences keep them (slot order, not file order).
using ColourSlots = std::array<uint32_t, kColourSlotCount>;

inline constexpr ColourSlots kDefaultColourSettings = {
    ColourRefFromRgb(0xFF, 0xFF, 0xFF), // 1 dialog background
    ColourRefFromRgb(0x00, 0x00, 0x7F), // 2 dialog text
    ColourRefFromRgb(0xCC, 0xDD, 0xDD), // 3 module background
    ColourRefFromRgb(0x00, 0x00, 0x7F), // 4 module text
    ColourRefFromRgb(0xC8, 0xFF, 0xFF), // 5 module drop-down background
    ColourRefFromRgb(0x32, 0x00, 0x00), // 6 module drop-down text
    ColourRefFromRgb(0x89, 0x89, 0xFF), // 7 normal button background
    ColourRefFromRgb(0xFF, 0xFF, 0xFF), // 8 normal button text
    ColourRefFromRgb(0x00, 0x00, 0x00), // 9 default button background
    ColourRefFromRgb(0x00, 0x00, 0x00), // 10 default button text
    ColourRefFromRgb(0x3F, 0x7F, 0xFF), // 11 focused button background
    ColourRefFromRgb(0xFF, 0xFF, 0xFF), // 12 focused button text
    ColourRefFromRgb(0x89, 0x98, 0xFF), // 13 disabled button background
    ColourRefFromRgb(0xC8, 0xC8, 0xC8), // 14 disabled button text
    ColourRefFromRgb(0x00, 0x00, 0x00), // 15 hot button background
    ColourRefFromRgb(0x00, 0x00, 0x00), // 16 hot button text
    ColourRefFromRgb(0x00, 0x00, 0x00), // 17 inactive button background
    ColourRefFromRgb(0x00, 0x00, 0x00), // 18 inactive button text
};

/// Left, top, right and bottom of the main window when it was last closed.
struct WindowRectangle {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const WindowRectangle&) const = default;
};

/// The persisted preferences. Byte fields are kept as stored (any value 0..255); non-zero means on.
/// Texts are UTF-8 (a file path may hold any bytes; they survive a save and a load unchanged).
struct ProgramSettings {
    uint8_t SettingsFlag0 = 0;                ///< stored flag without a fixed role; kept as read
    std::string SettingsText0;                ///< stored text without a fixed role; kept as read
    uint16_t LanguageCode = kLanguageEnglish; ///< 0-4 built-in languages, 1000 `UserLanguageFile`
    uint8_t AgreementAccepted = 0;            ///< the licence agreement has been accepted once
    uint8_t PlainStatusColours = 0;           ///< 0: status edits white on dark green; else ordinary colours
    uint8_t FirstStartDone = 0;               ///< the main window's one-time welcome has run
    uint8_t CheckForUpdateAtStart = 1;
    uint8_t AutoStartSound = 0;
    std::string UserLanguageFile;    ///< the user language file, used when `LanguageCode` is 1000
    uint8_t SnapToEdges = 1;         ///< the main window snaps to the screen edges while dragged
    uint8_t WrapMouse = 1;           ///< the cursor wraps at the screen edges
    uint8_t SettingsFlag22 = 0;      ///< stored flag without a fixed role; kept as read
    std::string WaveFolder;          ///< folder of the last wave file chosen
    std::string ConfigurationPath;   ///< the patch last loaded or saved
    std::string ConfigurationFolder; ///< the current folder when that patch was saved
    ColourSlots ColourSettings = kDefaultColourSettings; ///< the 18 colour slots
    uint8_t RealTimePriority = 0;                        ///< the engine thread runs at time-critical priority
    uint8_t NewSliderSigned = 0;                         ///< sign flag last toggled in a MIDI-slider window
    uint8_t ShowTrayIcon = 0;
    uint8_t TrayIconOnlyWhenMinimized = 1;
    uint8_t HideTaskbarButtonWhenMinimized = 0;
    uint8_t MinimizeShortlyAfterStart = 0;
    uint8_t MinimizeOnClose = 0;
    uint8_t MinimizeOnEsc = 0;
    WindowRectangle WindowRect; ///< restored (not maximised) placement at the last close
    uint32_t WindowWasMaximized = 0;
    uint8_t TrayQuestionAsked = 0;
    uint8_t CloseQuestionAsked = 0;
    uint8_t EscQuestionAsked = 0;
    uint8_t ShowStatusIndicators = 1;
    int32_t OutputLatencyMs = 50; ///< desired output latency
    int32_t InputLatencyMs = 20;  ///< audio input latency
    double ControlRate = 4000.0;  ///< sample rate of control data, Hz
    double BlockTime = 2.0;       ///< wall time of the last 1000 engine blocks, seconds
    uint8_t FeedbackSent = 0;
    uint8_t FeedbackShowAgain = 0;

    bool operator==(const ProgramSettings&) const = default;
};

/// `ApplyLanguage` for the language the settings select.
inline LanguageLoadFailure ApplyLanguage(const ProgramSettings& settings, LanguageStrings& table) {
    return ApplyLanguage(table, settings.LanguageCode, settings.UserLanguageFile);
}

} // namespace mw
