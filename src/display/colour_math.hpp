#pragma once
// The arithmetic of the colour dialogs: the hexadecimal text of a colour and how a typed text is
// read, and the colour triangle with its brightness.
//
// Colours are 0x00BBGGRR values as the preferences keep them (ColourRefFromRgb).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

/// "RRGGBB" in upper-case hexadecimal.
std::string HexText(uint32_t colour);

/// The text with every character that is not a hexadecimal digit dropped.
std::string CleanHexText(std::string_view text);

/// The colour a cleaned hex text stands for: left-padded with zeros to six digits, read from its
/// first six as red, green and blue.
uint32_t ColourOfHexText(std::string_view cleaned);

/// A corner of the colour triangle, in pixels of its picture.
struct TrianglePoint {
    int x = 0;
    int y = 0;
    bool operator==(const TrianglePoint&) const = default;
};

/// The corners of the triangle in a picture of width × height pixels, with e = width / 8 truncated:
/// A = (width / 2, e) at the top (red fades from B, green from C, blue from A), B = (e, height − e)
/// at the bottom left, C = (width − e, height − e) at the bottom right.
struct TriangleCorners {
    TrianglePoint a, b, c;
    bool operator==(const TriangleCorners&) const = default;
};
TriangleCorners TriangleCornersOf(int width, int height);

/// The height that makes the triangle of a picture `width` pixels wide equilateral, rounded down,
/// so that its base is its longest side and each corner shows its channel alone.
int TrianglePictureHeight(int width);

/// The colour of pixel (x, y) of the picture at brightness position `brightness` (0..511; 255 is
/// the triangle's own colours, 0 all white, 511 all black). Per channel, with d the distance to a
/// corner: red 255 − 255 d(B) / max(|AB|, |BC|), green 255 − 255 d(C) / max(|AC|, |BC|),
/// blue 255 − 255 d(A) / |AB|, each limited to 0..255; then at positions up to 255
/// c + (255 − s) / 255 × (255 − c), above it c − (s − 256) / 255 × c; truncated.
uint32_t TriangleColourAt(int width, int height, int x, int y, int brightness);

/// The whole picture, row by row, `width` colours a row.
std::vector<uint32_t> TrianglePicture(int width, int height, int brightness);

} // namespace mw
