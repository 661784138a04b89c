#pragma once
// Window and control geometry is designed in twips. This is the one place
// that turns twips into Qt's logical pixels; Qt scales those for HiDPI.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

namespace vq::twips {

inline constexpr double perPixel = 15.0;

inline int toPx(double twips) {
    // Stored positions can hold any float: keep far-off values representable.
    const double px = twips / perPixel;
    if (!(px > -1e6))
        return -1000000;
    if (px > 1e6)
        return 1000000;
    return int(std::lround(px));
}
inline double fromPx(int px) {
    return px * perPixel;
}
inline QRect rect(int left, int top, int width, int height) {
    return {toPx(left), toPx(top), toPx(width), toPx(height)};
}
inline QSize size(int width, int height) {
    return {toPx(width), toPx(height)};
}

} // namespace vq::twips
