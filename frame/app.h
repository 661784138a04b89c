#pragma once

#include <QByteArray>
#include <QString>

#include <thread>

class QApplication;

namespace vq {

// Look and behaviour shared by the tool and its tests: one style on every
// desktop, "*" as the password character, and the program's end decided by
// the window registry rather than by Qt's last-window rule (Qt never counts a
// tool window as the last one).
void setUpApplication(QApplication& app);

// The tool places its windows and keeps its compact window above others
// through X11; Wayland lets no client do either. So where an X server is
// reachable (XWayland sets DISPLAY in a Wayland session) and the user has not
// picked a Qt platform (QT_QPA_PLATFORM, or -platform on the command line),
// the tool starts on X11, falling back to the session's Wayland compositor if
// that server cannot be reached. Returns the value for QT_QPA_PLATFORM, or an
// empty array to leave the choice to Qt. Takes the values of QT_QPA_PLATFORM,
// DISPLAY and WAYLAND_DISPLAY, and the arguments as main() received them.
QByteArray preferredQtPlatform(const QByteArray& qpaPlatform, const QByteArray& display,
                               const QByteArray& waylandDisplay, int argc, const char* const* argv);

// The one line that tells the user, on a desktop platform where windows
// cannot be placed or kept on top, what they lose; empty on X11 and on the
// platforms the tests use, where there is nothing to tell.
QString platformNotice(const QString& platformName);

// Reading the system's font configuration is the slowest single step of
// start-up (several milliseconds, more on a machine with many fonts). It
// needs no display, so it runs on a thread of its own while Qt connects to
// the X server. Construct it before the application and wait() on it before
// the first window; fontconfig guards its own start-up, so a font lookup
// that comes early is still safe, only slower.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp() { wait(); }
    void wait() {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread thread_;
};

} // namespace vq
