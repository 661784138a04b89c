#pragma once
// Colours as 0xBBGGRR values; values with the top bit set name a colour of
// the desktop's scheme.

#include <QColor>
#include <cstdint>

namespace vq::colours {

inline constexpr uint32_t black = 0x000000;
inline constexpr uint32_t white = 0xFFFFFF;
inline constexpr uint32_t red = 0x0000FF;
inline constexpr uint32_t green = 0x00FF00;
inline constexpr uint32_t magenta = 0xFF00FF;
inline constexpr uint32_t cyan = 0xFFFF00;
inline constexpr uint32_t lightGreen = 0xC0FFC0;
inline constexpr uint32_t lightYellow = 0xC0FFFF;
inline constexpr uint32_t windowBackground = 0x80000005;
inline constexpr uint32_t windowText = 0x80000008;
inline constexpr uint32_t buttonFace = 0x8000000F;

QColor toQColor(uint32_t bgr);

} // namespace vq::colours
