#include "BackgroundWork.h"

#include <QEventLoop>
#include <QPointer>
#include <QString>
#include <QThread>

#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace BackgroundWork {

namespace {
int g_mustFinish = 0; // steps that must finish, running now (nested ones count too)
bool g_abandon = false;
int g_exitCode = 0;

struct Waiting
{
    QPointer<QObject> context;
    std::function<void()> then;
};

std::vector<Waiting> &waiting()
{
    static std::vector<Waiting> w;
    return w;
}

void releaseWaiting()
{
    std::vector<Waiting> ready = std::exchange(waiting(), {});
    for (Waiting &w : ready) {
        if (w.context)
            QMetaObject::invokeMethod(w.context, std::move(w.then), Qt::QueuedConnection);
    }
}
} // namespace

bool run(const std::function<void()> &work, Step step)
{
    // An exception must not leave the worker: there it would end the whole program.
    bool ranOutOfMemory = false;
    std::unique_ptr<QThread> worker(QThread::create([&work, &ranOutOfMemory] {
        try {
            work();
        } catch (const std::bad_alloc &) {
            ranOutOfMemory = true;
        }
    }));
    QEventLoop wait;
    QObject::connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit);
    const bool mustFinish = step == Step::MustFinish;
    if (mustFinish)
        ++g_mustFinish;
    worker->start();
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (!worker->isFinished() && g_abandon && !mustFinish) {
        // The wait was cut short by the end of the program: the shutdown has saved everything,
        // and nothing of this step is needed any more. The worker still uses this frame's
        // variables, so this call must never return: the process ends here.
        std::_Exit(g_exitCode);
    }
    // Otherwise the step is finished, or must be: without events if the program is quitting.
    worker->wait();
    if (mustFinish && --g_mustFinish == 0)
        releaseWaiting();
    return !ranOutOfMemory;
}

QString outOfMemoryReason()
{
    return QStringLiteral("内存不足");
}

bool mustFinishRunning()
{
    return g_mustFinish > 0;
}

void afterCurrentStep(QObject *context, std::function<void()> then)
{
    waiting().push_back({context, std::move(then)});
    if (g_mustFinish == 0)
        releaseWaiting();
}

void abandonRunningSteps(int exitCode)
{
    g_abandon = true;
    g_exitCode = exitCode;
}

} // namespace BackgroundWork
