#include "BackgroundWork.h"

#include <QEventLoop>
#include <QPointer>
#include <QThread>

#include <memory>
#include <utility>
#include <vector>

namespace BackgroundWork {

namespace {
int g_depth = 0;

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

void run(const std::function<void()> &work)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    QEventLoop wait;
    QObject::connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit);
    ++g_depth;
    worker->start();
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop ends early only when the program is quitting (no event loop runs any more then):
    // the step is finished all the same, without events.
    worker->wait();
    if (--g_depth == 0)
        releaseWaiting();
}

bool isRunning()
{
    return g_depth > 0;
}

void afterCurrentStep(QObject *context, std::function<void()> then)
{
    waiting().push_back({context, std::move(then)});
    if (g_depth == 0)
        releaseWaiting();
}

} // namespace BackgroundWork
