#pragma once
// app/ puts the tool together: the one place that knows every window.

namespace vq {

// Registers the factory of every window of the tool with the window
// registry, as the program does at start; tests that work with the whole
// tool call it too.
void registerAllWindows();

} // namespace vq
