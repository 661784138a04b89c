#pragma once
// One running copy per user and executable name. Every sheet close writes
// every key of the executable's section, so a second copy's close would
// overwrite what was typed in the first; a second start instead asks the
// running copy to bring its frontmost window forward, and ends.
//
// The copies meet at a Unix socket in a folder only the user can enter
// (XDG_RUNTIME_DIR, or a 0700 folder of the user's own in the temporary
// folder), named after the executable's store section. A lock held while a
// copy looks for another and starts listening keeps two copies started at
// the same moment from both listening; the kernel drops it with its holder,
// and a socket left by a killed copy refuses connections and is replaced.

#include <QString>

namespace vq {

enum class StartRole {
    First,      // no copy runs: this one listens for later starts from now on
    HandedOver, // a running copy raised its frontmost window: end with status 0
    Unanswered, // a copy runs but did not answer in time: end, with an error
};

// Decides this start's role among the copies of this user that share the
// executable's section of the settings file. Call it once, after the
// application object exists; a First copy keeps listening for the rest of
// its life, an Unanswered one has said so on standard error.
StartRole claimSingleCopy();

// The folder the copies meet in, made if needed; empty if there is no folder
// only this user may enter.
QString singleCopyFolder();

} // namespace vq
