#pragma once
// The calls the tool makes of the desktop: which window is in the
// foreground, moving a window into or out of the top-most band, starting
// another program, and the frame a window will get. main() installs the X11
// implementation; tests install a recording double.

#include <QMargins>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vq {

using WindowHandle = quintptr;

class Platform {
public:
    virtual ~Platform() = default;
    virtual WindowHandle foregroundWindow() = 0;
    // Into the top-most band (true) or back into the normal band (false),
    // keeping position and size. Failures are ignored.
    virtual void setTopMost(WindowHandle window, bool topMost) = 0;
    // Starts the desktop's calculator as the user who runs the tool. A
    // failed start is silent. Every desktop starts it alike (calculatorCommand).
    virtual void startCalculator();
    // The frame (left, top, right, bottom, in the screen's device pixels, as
    // the window manager draws it at any QT_SCALE_FACTOR) the window manager puts
    // around this created but not yet mapped window, or nothing where it
    // cannot tell in time.
    virtual std::optional<QMargins> frameExtents(WindowHandle) { return std::nullopt; }
};

Platform& platform();
void setPlatform(std::unique_ptr<Platform> p);

// The X11 implementation, or what Qt can do where X11 is absent.
std::unique_ptr<Platform> makeDesktopPlatform();

// The argument list that starts the desktop's calculator, or an empty list
// when no calculator is installed: the program alone. Fixed program names
// only: never a shell, never anything typed, and never through pkexec or
// sudo. A calculator needs no administrator's rights, and a program that
// pkexec starts loses DISPLAY and WAYLAND_DISPLAY, so it would ask for a
// password and then show nothing.
QStringList calculatorCommand(const std::function<QString(const QString&)>& findExecutable);

} // namespace vq
