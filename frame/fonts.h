#pragma once
// The faces the windows are drawn with.

#include <QFont>
#include <QStringList>
#include <functional>

class QWidget;

namespace vq::fonts {

// The faces the twips layouts were designed for, most wanted first: the
// designed face, then faces with close enough metrics.
QStringList designed();

// The families of `wanted` that are in `installed` (any case), in order. When
// none is, `wanted` as it is, so that Qt and fontconfig still pick a face.
QStringList installedOnly(const QStringList& wanted, const QStringList& installed);

// installedOnly() against the system's fonts. A missing family left in a
// font's list makes Qt ask fontconfig for its substitutes, which cost several
// milliseconds of the first paint.
QStringList available(const QStringList& wanted);

// Captions were laid out for a narrow 8-point face; the desktop's own face is
// often wider. Lowers the font in half points, down to 6 pt, until `fits`
// holds. Pixel-sized fonts are returned as they are.
QFont shrunkToFit(QFont font, const std::function<bool(const QFont&)>& fits);

// Shrinks the control's font until its caption fits the control's width.
void fitCaption(QWidget* w);

} // namespace vq::fonts
