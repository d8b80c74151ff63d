#include "BackgroundWork.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

namespace BackgroundWork {

void run(const std::function<void()> &work)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    QEventLoop wait;
    QObject::connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit);
    worker->start();
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
}

} // namespace BackgroundWork
