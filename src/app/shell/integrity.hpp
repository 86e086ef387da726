#pragma once
// The program's check of its own file. The executable is sealed after it is built (and again after it is
// stripped for a package; cmake/seal.cmake): a fixed-size trailer is appended to the file,
//     "MURMELWERK-SHA256 " + the SHA-256 of every byte before the trailer, 64 lowercase hex digits + "\n",
// 83 bytes in all. The program loader ignores bytes past the end of an ELF file's contents, so the sealed
// file runs as before. The check recomputes the hash and compares it with the trailer's, byte for byte.
// With the processor's SHA instructions a file of 5 MiB is checked in about 5 ms (25-30 ms without them).

#include <string>
#include <string_view>

namespace mw {

inline constexpr std::string_view kSealMagic = "MURMELWERK-SHA256 ";
inline constexpr size_t kSealSize = 18 + 64 + 1;

enum class IntegrityResult {
    Intact,    ///< the trailer holds the hash of the bytes before it
    Damaged,   ///< no trailer, or the hash differs
    Unreadable ///< the file cannot be opened or read
};

/// Checks a sealed file. "/proc/self/exe" checks the file the running program was started from, even
/// when it has since been renamed or replaced.
IntegrityResult CheckIntegrity(const std::string& executablePath);

/// The SHA-256 of `bytes` as 64 lowercase hex digits. With allowCpuExtensions the processor's SHA
/// instructions are used where it has them; the result is the same either way.
std::string Sha256Hex(std::string_view bytes, bool allowCpuExtensions = true);

} // namespace mw
