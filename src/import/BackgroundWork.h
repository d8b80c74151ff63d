#pragma once

#include <functional>

class QObject;
class QString;

// Runs `work` in a worker thread and waits for it while this thread goes on handling events other
// than user input: windows stay drawn and the busy cursor shows, but no click or key can start
// anything else meanwhile. Returns when `work` has finished. `work` must not touch widgets.
//
// Memory running out in `work` (std::bad_alloc) ends the step, not the program: run() returns
// false, and the caller reports the step as failed and leaves what it would have changed as it
// was. `work` must leave nothing half done that outlives it (it holds its results in locals until
// it is done).
//
// The shutdown sequence may be asked for while a step runs. A step that must finish (writing a
// file the user asked for) is waited for: the shutdown asks mustFinishRunning() and comes right
// after it with afterCurrentStep(). Any other step (reading a file, building the text area's
// document, preprocessing text) is abandoned: the shutdown saves the list as it is, without what
// the step would have added, and once it has ended the program (abandonRunningSteps()) the process
// ends at once instead of waiting seconds for work nobody needs any more.
namespace BackgroundWork {

enum class Step
{
    Abandonable, // its result only feeds what follows it in the window thread
    MustFinish,  // it changes a file: never cut short
};

[[nodiscard]] bool run(const std::function<void()> &work, Step step = Step::Abandonable);

// What the user is told a step that ran out of memory failed of.
QString outOfMemoryReason();

// True while a step that must finish runs (this thread is waiting in run()).
bool mustFinishRunning();

// Calls `then` on `context`'s thread once no step that must finish runs, from the event loop (not
// inside run()); at once, from the event loop, when none runs. Dropped if `context` is deleted
// first.
void afterCurrentStep(QObject *context, std::function<void()> then);

// The program has ended (everything is saved): a step still running is abandoned, and the process
// ends with `exitCode` as soon as this thread's wait for it is over.
void abandonRunningSteps(int exitCode);

} // namespace BackgroundWork
