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

// Whether the value names a colour of the desktop's scheme.
constexpr bool isDesktop(uint32_t bgr) {
    return (bgr & 0x80000000u) != 0;
}

// The colour to draw `bgr` in where it meets `partner`, text on a background
// or a background under text. The fixed colours were paired with the
// desktop's as a light scheme shows them; under a dark scheme the pair would
// be white on white or white on light green. So where a desktop colour meets
// a fixed one, it is taken from that light scheme (window text black, window
// background white); a pair of desktop colours follows the desktop.
QColor shown(uint32_t bgr, uint32_t partner);

} // namespace vq::colours
