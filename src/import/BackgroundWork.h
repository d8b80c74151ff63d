#pragma once

#include <functional>

class QObject;

// Runs `work` in a worker thread and waits for it while this thread goes on handling events other
// than user input: windows stay drawn and the busy cursor shows, but no click or key can start
// anything else meanwhile. Returns when `work` has finished. `work` must not touch widgets.
//
// While a step runs, nothing else of the program may run in the middle of it: whatever must not
// (the shutdown sequence above all) asks isRunning() and waits with afterCurrentStep().
namespace BackgroundWork {
void run(const std::function<void()> &work);

// True while a step runs (this thread is waiting in run()).
bool isRunning();

// Calls `then` on `context`'s thread once the running step has finished, from the event loop
// (not inside run()); at once, from the event loop, when no step runs. Dropped if `context` is
// deleted first.
void afterCurrentStep(QObject *context, std::function<void()> then);
} // namespace BackgroundWork
