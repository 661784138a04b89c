#pragma once

#include <thread>

class QApplication;

namespace vq {

// Look and behaviour shared by the tool and its tests: one style on every
// desktop, "*" as the password character, and the program's end decided by
// the window registry rather than by Qt's last-window rule (Qt never counts a
// tool window as the last one).
void setUpApplication(QApplication& app);

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
