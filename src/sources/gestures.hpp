#pragma once
// Pointer scripts for rendering without a hand on the mouse: built-in named gestures and gestures
// read from CSV text. Each gives the points of a `ScriptedPointer`.
//
// Built-in gestures (for a screen rectangle and a duration):
//   still    the hand rests at the centre of the screen
//   circle   a circle around the centre, radius 35 % of the smaller screen side, one turn per 2 s
//            (clockwise on screen, starting on the right of the centre)
//   figure8  a figure of eight around the centre, 70 % of the width by 50 % of the height, one figure per 3 s
//   zigzag   left-right strokes of 0.5 s across 80 % of the width, stepping down and up again
//   scribble a seeded random walk with momentum, kept inside the middle 90 % of the screen
//   wheel    the hand rests at the centre; one wheel notch away from the user every 100 ms in the first
//            half of the duration, one notch towards the user every 100 ms in the second half
//
// CSV: one point per line, "t_ms,x,y" or "t_ms,x,y,wheel_notches"; times in milliseconds from the
// start, non-decreasing; x, y in screen pixels (the cursor stops at the screen edges); notches positive
// away from the user. A first line that is not a point (a header such as "t_ms,x,y,wheel_notches") is
// skipped; blank lines and lines starting with '#' are ignored; fields may be surrounded by blanks.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pointer.hpp"
#include "sources/scripted_pointer.hpp"

namespace mw {

/// The longest gesture: one hour.
inline constexpr double kMaxGestureMs = 3600000.0;

/// The names of the built-in gestures.
std::span<const std::string_view> BuiltInGestureNames();

/// True when `name` is a built-in gesture.
bool IsBuiltInGesture(std::string_view name);

/// Makes the points of a built-in gesture covering 0..durationMs on `screen`; `seed` drives the
/// scribble. False with `error` set for an unknown name or a duration outside 0..kMaxGestureMs.
bool MakeBuiltInGesture(std::string_view name, const ScreenRect& screen, double durationMs, uint32_t seed,
                        std::vector<ScriptPoint>& out, std::string& error);

/// Parses CSV text (see the file comment). False with `error` naming the line and the fault.
bool ParseGestureCsv(std::string_view text, std::vector<ScriptPoint>& out, std::string& error);

/// Reads and parses a CSV file. False with `error` set when it cannot be read or parsed.
bool LoadGestureCsv(const std::string& path, std::vector<ScriptPoint>& out, std::string& error);

/// A built-in gesture by name, otherwise the CSV file at that path. The CSV keeps its own times: the
/// scripted pointer holds its last point after them and the caller decides how long to render.
bool MakeGesture(std::string_view nameOrPath, const ScreenRect& screen, double durationMs, uint32_t seed,
                 std::vector<ScriptPoint>& out, std::string& error);

} // namespace mw
