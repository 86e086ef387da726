#pragma once
// The commands of murmelwerk-render; each lives in its own file.

#include <string>

namespace mw::cli {

/// Writes the built-in language text of one language as a user language file.
int ExportLanguageCommand(const std::string& code, const std::string& file);

} // namespace mw::cli
