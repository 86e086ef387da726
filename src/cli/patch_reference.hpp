#pragma once
// The patch-file reference, generated from the parameter catalogue: every key of every kind with its
// type, default, unit and range, the mouse measures, and the whole format reference as Markdown.

#include <string>
#include <string_view>
#include <vector>

#include "model/module_kind.hpp"
#include "model/params.hpp"

namespace mw::cli {

/// One key of a kind as the reference shows it.
struct KeyRow {
    std::string key;     // "AmplitudeValue"; the slider table: "Controller1..Controller128"
    std::string type;    // "real", "integer", "boolean", "text", "source", "SubType", ...
    std::string def;     // the default, as a file writes it
    std::string unit;    // what the number means ("" for none)
    std::string range;   // the window slider's range, the accepted values or the table texts
    std::string sources; // for source keys: what they accept
};

/// The keys a kind reads, in writer order (Name and Position first).
std::vector<KeyRow> KeyRows(ModuleKind kind);
/// The default of one schema key as a file writes it.
std::string DefaultText(ModuleKind kind, const KeyDesc& key);

/// What each mouse measure measures, with its unit and range, in measure order.
struct MeasureRow {
    std::string_view name;
    int source;
    std::string_view meaning;
};
std::vector<MeasureRow> MeasureRows();

/// The texts of --list-kinds, --describe KIND, --list-measures and the Markdown reference.
std::string KindListText();
std::string DescribeText(ModuleKind kind);
std::string MeasureListText();
std::string PatchFormatReference();

/// The words of `candidates` nearest to `word` (letter case ignored), best first: at most `count`, and
/// only those close enough to be a likely slip.
std::vector<std::string> NearestNames(std::string_view word, const std::vector<std::string>& candidates,
                                      size_t count = 3);
/// ", did you mean A, B or C?" style suffix; empty when there is none.
std::string DidYouMean(const std::vector<std::string>& names);

} // namespace mw::cli
