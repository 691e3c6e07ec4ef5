#pragma once

#include <functional>

namespace corvane {

// SIGTERM and SIGINT close the program the way File > Exit does (settings
// saved, the log closed) instead of killing it mid-write. Only the first one
// does: a second SIGTERM or SIGINT ends the program at once.
void InstallQuitSignals(std::function<void()> onQuit);

} // namespace corvane
