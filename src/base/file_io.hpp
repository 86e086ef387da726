#pragma once
// Whole-file reading with a size limit, and replacing a file so that a failure at any point leaves the
// old file as it was.

#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

/// Reads a whole regular file. Returns 0, or an errno value: EFBIG when it holds more than maxBytes
/// (a device such as /dev/zero never ends: it is refused the same way), EISDIR for a folder.
int ReadWholeFile(const std::string& path, uint64_t maxBytes, std::string& bytes);

/// The file a symbolic link points to (the path itself when it is no link or the link is broken).
std::string FileBehindLink(const std::string& path);

/// A name for a temporary file in the same folder as `path`, not used before by this process.
std::string TemporaryNameBeside(const std::string& path);

/// Replaces the file at `path` with `bytes`. The bytes go to a temporary file in the same folder, are
/// flushed and synced, and the temporary file is renamed over the target; on any failure it is removed
/// and the old file stays untouched. A symbolic link is followed (its target is replaced, the link
/// stays), the old file's permission bits are kept. When the folder takes no new file but the file
/// itself is writable, it is written in place; a device or a pipe is written to, never replaced.
/// Returns 0, or an errno value.
int ReplaceFile(const std::string& path, std::string_view bytes);

} // namespace mw
