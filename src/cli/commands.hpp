#pragma once
// The commands of murmelwerk-render; each lives in its own file.

#include <string>

namespace mw {
class Patch;
class Session;
} // namespace mw

namespace mw::cli {

/// Writes the built-in language text of one language as a user language file.
int ExportLanguageCommand(const std::string& code, const std::string& file);

// ---- patch tools (patch_commands.cpp) ----

/// Loads a patch file into the patch (both passes). False, with a message on standard error, when the
/// file cannot be read.
bool LoadPatchFile(Patch& patch, const std::string& path);
/// The same through a session, which runs the link pass as its mode says.
bool LoadPatchFile(Session& session, const std::string& path);
/// Saves the patch to a file. False, with a message on standard error, when it cannot be written.
bool SavePatchFile(const Patch& patch, const std::string& path);
/// The patch as JSON: {"modules": [{"kind", "name", "position", "slots", "keys"}, ...]} in save order.
std::string PatchToJson(const Patch& patch);

} // namespace mw::cli
