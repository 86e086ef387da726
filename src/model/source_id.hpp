#pragma once
// References to signals: a slot, a mouse measure, "manual" or nothing.

#include <array>
#include <cstdint>
#include <string_view>

namespace mw {

using SourceId = int32_t;

inline constexpr SourceId kManualSource = -1000;
inline constexpr SourceId kNoSource = -1;
inline constexpr SourceId kFirstMeasure = 1000;
inline constexpr int kMeasureCount = 19;
inline constexpr int kSlotCount = 128;

inline constexpr std::string_view kManualName = "-[Manual]-";
inline constexpr std::string_view kInvalidName = "-[Invalid]-";

enum class MouseMeasure : uint8_t {
    Direction,
    TurnInertia,
    TurnInertiaPrime,
    Speed,
    Acceleration,
    HorizontalPosition,
    VerticalPosition,
    HorizontalVelocity,
    VerticalVelocity,
    HorizontalAcceleration,
    VerticalAcceleration,
    ScrollPosition,
    ScrollVelocity,
    ScrollAcceleration,
    SpeedRaw,
    DirectionHorizontalUnsigned,
    DirectionHorizontalSigned,
    DirectionVerticalUnsigned,
    DirectionVerticalSigned,
};

inline constexpr std::array<std::string_view, kMeasureCount> kMeasureNames{
    "Direction",
    "Turn Inertia",
    "Turn Inertia'",
    "Speed",
    "Acceleration",
    "Horizontal Position",
    "Vertical Position",
    "Horizontal Velocity",
    "Vertical Velocity",
    "Horizontal Acceleration",
    "Vertical Acceleration",
    "Scroll Position",
    "Scroll Velocity",
    "Scroll Acceleration",
    "Speed ( Raw )",
    "Direction Horizontal Unsigned",
    "Direction Horizontal Signed",
    "Direction Vertical Unsigned",
    "Direction Vertical Signed",
};

constexpr SourceId MeasureSource(MouseMeasure m) { return kFirstMeasure + static_cast<int>(m); }
constexpr bool IsMeasure(SourceId id) { return id >= kFirstMeasure && id < kFirstMeasure + kMeasureCount; }
constexpr bool IsSlot(SourceId id) { return id >= 0 && id < kSlotCount; }

} // namespace mw
