#pragma once
// The "Get New Module" menu: the 35 kinds in five groups, as the main window's button, its context
// menu and its kind buttons offer them.

#include <QMenu>
#include <functional>
#include <span>

#include "i18n/language_strings.hpp"
#include "model/module_kind.hpp"

namespace mw {

struct NewModuleGroup {
    int title; ///< LanguageStrings number: 301 "Control-Source" .. 305 "Audio-Other"
    std::span<const ModuleKind> kinds;
};

/// The five groups in menu order; a separator stands between the second and the third.
std::span<const NewModuleGroup> NewModuleGroups();

/// Fills `menu` with the five groups as submenus; choosing an item calls `add` with its kind.
void FillNewModuleMenu(QMenu& menu, const LanguageStrings& strings,
                       const std::function<void(ModuleKind)>& add);

/// The kind that has no button of its own on the main window (the MIDI slider, the newest kind: the
/// 34 buttons cover kinds 0..33); it is added from the menu.
inline constexpr ModuleKind kKindWithoutButton = ModuleKind::ControlMIDIControllerInput;

} // namespace mw
