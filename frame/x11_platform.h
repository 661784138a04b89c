#pragma once
// The desktop calls on X11, through xcb on Qt's own connection.

#include "frame/platform.h"

class QWidget;

namespace vq {

// The X11 implementation, or null where Qt does not run on X11.
std::unique_ptr<Platform> makeX11Platform();

// The tool's own top-level window with this native handle, or null.
QWidget* ownWindow(WindowHandle h);

} // namespace vq
