#pragma once

class QApplication;

namespace vq {

// Look and behaviour shared by the tool and its tests: one style on every
// desktop, "*" as the password character, and the program's end decided by
// the window registry rather than by Qt's last-window rule (Qt never counts a
// tool window as the last one).
void setUpApplication(QApplication& app);

} // namespace vq
