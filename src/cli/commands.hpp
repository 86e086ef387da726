#pragma once
// The commands of murmelwerk-render; each lives in its own file.

#include <string>

namespace mw {
struct BuiltInPatch;
class Patch;
class Session;
} // namespace mw

namespace mw::cli {

/// Writes the built-in language text of one language as a user language file.
int ExportLanguageCommand(const std::string& code, const std::string& file);

// ---- patch tools (patch_commands.cpp) ----

/// Loads a patch file into the patch (both passes). False, with a message on standard error, when the
/// file cannot be read. With `convert`, a UTF-8, UTF-16BE or LF-only file is first made into the text
/// the reader expects (a note on standard error says what was converted).
bool LoadPatchFile(Patch& patch, const std::string& path, bool convert = false);
/// The same through a session, which runs the link pass as its mode says.
bool LoadPatchFile(Session& session, const std::string& path, bool convert = false);
/// Prints the patch check's findings ("NAME:LINE: message") on standard output. Exit status: 0 no
/// findings, 3 findings, 1 the file cannot be read.
int CheckPatchCommand(const std::string& path, const BuiltInPatch* builtin, bool convert);
/// Saves the patch to a file. False, with a message on standard error, when it cannot be written.
bool SavePatchFile(const Patch& patch, const std::string& path);
/// The patch as JSON: {"modules": [{"kind", "name", "position", "slots", "keys"}, ...]} in save order.
std::string PatchToJson(const Patch& patch);

} // namespace mw::cli
