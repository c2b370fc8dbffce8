#include "line_runner.h"

#include <QCoreApplication>

namespace wox::gui {

namespace {
// Deep recursion in a defined function must not meet a smaller stack than
// the terminal program's main thread has; untouched pages cost nothing.
constexpr uint kWorkerStack = 256u * 1024u * 1024u;
}  // namespace

LineRunner::LineRunner(QObject* parent) : QObject(parent), worker_(new QObject) {
    thread_.setStackSize(kWorkerStack);
    thread_.setObjectName("wox-interpreter");
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

LineRunner::~LineRunner() {
    thread_.quit();
    // A job still running may be waiting for this thread: let it through.
    while (!thread_.wait(10)) QCoreApplication::processEvents();
}

bool LineRunner::run(std::function<void()> job) {
    if (busy_) return false;
    busy_ = true;
    emit started();
    QMetaObject::invokeMethod(worker_, [this, job = std::move(job)] {
        job();
        QMetaObject::invokeMethod(this, [this] {
            busy_ = false;
            emit finished();
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    return true;
}

void LineRunner::onGuiThread(const std::function<void()>& work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(this, [&work] { work(); }, Qt::BlockingQueuedConnection);
}

}  // namespace wox::gui
