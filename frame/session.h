#pragma once
// How the tool ends when its session ends rather than its user: a logout or
// shutdown (SIGTERM, the session manager's request to commit and its quit),
// the terminal it was started from (SIGHUP, SIGINT), the display going away.
// Each way keeps what the windows' closes keep.

class QApplication;

namespace vq::session {

// Catches SIGTERM, SIGHUP and SIGINT (those not ignored at start, as under
// nohup), the session manager's commit and quit, and the end of the process
// while the application runs (a lost display ends it from inside Qt, which
// then ends with status 1 once the windows' texts are saved). What the disk
// still refuses when the tool ends is kept in a file of its own and told on
// standard error, and the tool ends with status 1. Call it once, after the
// application and the first window exist.
void install(QApplication& app);

// Saves what every loaded window's unload saves, innermost window first,
// without closing any; writes the disk refused earlier are tried again.
void saveAll();

// Closes every loaded window as the user's close does, innermost first, each
// once the window inside it has finished closing; then ends the program with
// status 0, or 1 if the disk refused what they saved. Asking again while it
// runs changes nothing.
void closeAll();

} // namespace vq::session
