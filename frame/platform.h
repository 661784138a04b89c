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
    // Starts a program; show mode 1 is a normal window. A failed start is
    // silent. Every desktop starts the calculator alike (calculatorCommand).
    virtual void shellExecute(WindowHandle owner, const QString& verb, const QString& file,
                              const QString& parameters, const QString& directory, int showMode);
    // The frame (left, top, right, bottom, in pixels) the window manager puts
    // around this created but not yet mapped window, or nothing where it
    // cannot tell in time.
    virtual std::optional<QMargins> frameExtents(WindowHandle) { return std::nullopt; }
};

Platform& platform();
void setPlatform(std::unique_ptr<Platform> p);

// The X11 implementation, or what Qt can do where X11 is absent.
std::unique_ptr<Platform> makeDesktopPlatform();

// The argument list that starts the desktop's calculator for these values, or
// an empty list when none is installed. Never passes a shell or user text.
QStringList calculatorCommand(const QString& verb, const QString& file,
                              const std::function<QString(const QString&)>& findExecutable);

} // namespace vq
