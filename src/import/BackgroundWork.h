#pragma once

#include <functional>

// Runs `work` in a worker thread and waits for it while this thread goes on handling events other
// than user input: windows stay drawn and the busy cursor shows, but no click or key can start
// anything else meanwhile. Returns when `work` has finished, also when the wait is cut short
// because the program is quitting. `work` must not touch widgets.
namespace BackgroundWork {
void run(const std::function<void()> &work);
}
