#pragma once
// The patch check: reads a patch file exactly as the program does and explains, line by line, what
// the reader skipped or read otherwise than the text suggests. It never changes how a file loads.
// And the explicit conversion of UTF-8, UTF-16BE and LF-only files into the text the reader expects.

#include <string>
#include <string_view>
#include <vector>

namespace mw::cli {

struct Finding {
    int line = 1; // 1-based
    std::string message;
};

/// The findings for a patch file's bytes, in line order (encoding and line-end findings first).
std::vector<Finding> CheckPatchBytes(std::string_view bytes);

/// The bytes as the text the reader expects: decoded from UTF-16LE (with or without the byte-order
/// mark), UTF-16BE or UTF-8 (anything else), with every line end made CR LF. `what` names the
/// conversions made ("" when none was needed).
std::u16string ConvertedPatchText(std::string_view bytes, std::string& what);

} // namespace mw::cli
