#pragma once
// How the tool ends when its session ends rather than its user: a logout or
// shutdown (SIGTERM, the session manager's request to commit and its quit),
// the terminal it was started from (SIGHUP, SIGINT), the display going away.
// Each way keeps what the windows' closes keep.

class QApplication;

namespace vq::session {

// Catches SIGTERM, SIGHUP and SIGINT (those not ignored at start, as under
// nohup), the session manager's commit and quit, and the end of the process
// while windows are loaded (a lost display ends it from inside Qt). Call it
// once, after the first window is loaded.
void install(QApplication& app);

// Saves what every loaded window's unload saves, innermost window first,
// without closing any; writes the disk refused earlier are tried again.
void saveAll();

// Closes every loaded window as the user's close does, innermost first, each
// once the window inside it has finished closing; then ends the program with
// status 0. Asking again while it runs changes nothing.
void closeAll();

} // namespace vq::session
