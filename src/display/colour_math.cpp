#include "display/colour_math.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/settings/program_settings.hpp"

namespace mw {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

double Distance(double x, double y, TrianglePoint corner) {
    return std::hypot(x - corner.x, y - corner.y);
}

double Distance(TrianglePoint p, TrianglePoint q) {
    return std::hypot(double(p.x - q.x), double(p.y - q.y));
}

// The measures of one picture, shared by all its pixels.
struct Triangle {
    TriangleCorners corners;
    double redScale = 1;   // max(|AB|, |BC|)
    double greenScale = 1; // max(|AC|, |BC|)
    double blueScale = 1;  // |AB|

    Triangle(int width, int height) : corners(TriangleCornersOf(width, height)) {
        const double ab = Distance(corners.a, corners.b);
        const double ac = Distance(corners.a, corners.c);
        const double bc = Distance(corners.b, corners.c);
        redScale = std::max(ab, bc);
        greenScale = std::max(ac, bc);
        blueScale = ab;
    }

    uint32_t ColourAt(int x, int y, int brightness) const {
        const auto channel = [&](TrianglePoint corner, double scale) {
            double c = scale > 0 ? 255.0 - 255.0 * Distance(x, y, corner) / scale : 255.0;
            c = std::clamp(c, 0.0, 255.0);
            // c + (255 − s)/255 × (255 − c) and c − (s − 256)/255 × c, written so that the ends
            // come out exact (all white at 0, all black at 511) and whole results stay whole.
            if (brightness <= 255) {
                c = 255.0 - (255.0 - c) * brightness / 255.0;
            } else {
                c = c * (511 - brightness) / 255.0;
            }
            return uint8_t(std::clamp(int(c), 0, 255));
        };
        return ColourRefFromRgb(channel(corners.b, redScale), channel(corners.c, greenScale),
                                channel(corners.a, blueScale));
    }
};

} // namespace

std::string HexText(uint32_t colour) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const uint8_t channel : {RedOf(colour), GreenOf(colour), BlueOf(colour)}) {
        text += kDigits[channel >> 4];
        text += kDigits[channel & 0xF];
    }
    return text;
}

std::string CleanHexText(std::string_view text) {
    std::string cleaned;
    std::copy_if(text.begin(), text.end(), std::back_inserter(cleaned), IsHexDigit);
    return cleaned;
}

uint32_t ColourOfHexText(std::string_view cleaned) {
    std::string digits(cleaned.substr(0, 6));
    digits.insert(0, 6 - digits.size(), '0');
    const auto byte = [&](int at) { return uint8_t(HexValue(digits[at]) * 16 + HexValue(digits[at + 1])); };
    return ColourRefFromRgb(byte(0), byte(2), byte(4));
}

TriangleCorners TriangleCornersOf(int width, int height) {
    const int e = width / 8;
    return {{width / 2, e}, {e, height - e}, {width - e, height - e}};
}

int TrianglePictureHeight(int width) {
    const int e = width / 8;
    return 2 * e + int(std::floor((width - 2 * e) * std::sqrt(3.0) / 2.0));
}

uint32_t TriangleColourAt(int width, int height, int x, int y, int brightness) {
    return Triangle(width, height).ColourAt(x, y, brightness);
}

std::vector<uint32_t> TrianglePicture(int width, int height, int brightness) {
    const Triangle triangle(width, height);
    std::vector<uint32_t> picture;
    picture.reserve(size_t(std::max(0, width)) * size_t(std::max(0, height)));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.push_back(triangle.ColourAt(x, y, brightness));
        }
    }
    return picture;
}

} // namespace mw
