#pragma once
// Conversion of engine samples to the 16-bit output: scale by 32, soft clip above the knee, truncate.

#include <cmath>
#include <cstdint>

namespace mw {

/// The soft clip's knee: 80 % of 32767.
inline constexpr double kSoftClipKnee = 26213.600000000002;
/// One engine sample unit is 32 steps of the 16-bit output.
inline constexpr double kOutputScale = 32.0;

/// Above the knee the curve rises with the square root of the excess.
inline double SoftClip(double v) {
    if (v > kSoftClipKnee) return kSoftClipKnee + std::sqrt(v - kSoftClipKnee);
    if (v < -kSoftClipKnee) return -kSoftClipKnee - std::sqrt(-v - kSoftClipKnee);
    return v;
}

/// Soft clip, then truncation toward zero. Values the soft clip cannot bring into range (beyond about
/// 1.3 million engine units) saturate at the 16-bit limits; NaN gives 0.
inline int16_t ToOutputSample(double v) {
    v = SoftClip(v);
    if (v >= 32767.0) return 32767;
    if (v <= -32768.0) return -32768;
    if (!(v == v)) return 0;
    return int16_t(v); // truncates toward zero
}

} // namespace mw
