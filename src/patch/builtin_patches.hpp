#pragma once
// The 23 example patches the program carries, and the Configuration menu that offers them.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/module_kind.hpp"

namespace mw {

class Patch;

struct BuiltInPatch {
    int command;                                   // menu command (0x8008..0x801E)
    int resource;                                  // resource number (205..241)
    int submenu;                                   // LanguageStrings number of its submenu (452..457)
    int nameString;                                // LanguageStrings number of its menu text
    std::string_view name;                         // English menu text
    std::string_view file;                         // file name of its text under src/model/patches/
    std::vector<std::pair<ModuleKind, int>> kinds; // composition, in section order
};

inline constexpr int kBuiltInPatchCount = 23;

/// The patches in menu order.
const std::vector<BuiltInPatch>& BuiltInPatches();

struct BuiltInSubmenu {
    int title; // LanguageStrings number
    std::string_view english;
    std::vector<const BuiltInPatch*> patches; // in table order
};
/// The six submenus of the Configuration menu, in order.
std::vector<BuiltInSubmenu> BuiltInMenu();

/// Finds a patch by resource number, by menu command, or by English name (letter case ignored).
const BuiltInPatch* FindBuiltInByResource(int resource);
const BuiltInPatch* FindBuiltInByCommand(int command);
const BuiltInPatch* FindBuiltInByName(std::string_view name);

/// The stored file of a built-in patch: UTF-16LE bytes with the byte-order mark. Empty if missing.
std::string_view BuiltInPatchBytes(const BuiltInPatch& patch);

/// Loads a built-in patch into the patch (both passes) through the same reader as files: its text
/// without the final line feed. Returns the number of modules created, or nullopt for an unknown number.
std::optional<size_t> LoadBuiltInPatch(Patch& patch, int resource);

} // namespace mw
