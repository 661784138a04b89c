#pragma once
// Captions were laid out for a narrow 8-point desktop font; the desktop's
// own font is often wider. These keep a caption whole inside its control.

class QWidget;

namespace vq {

// Lowers the control's font size in half points, down to 6 pt, until the
// caption fits the control's width.
void fitCaption(QWidget* w);

} // namespace vq
