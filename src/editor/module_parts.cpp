// The kinds' own controls inside their module windows.

#include "editor/module_window.hpp"

namespace mw {

bool HasModulePart(ModuleKind) { return false; }

std::unique_ptr<ModulePart> MakeModulePart(ModulePartHost&, ModuleKind, QWidget*) { return nullptr; }

} // namespace mw
