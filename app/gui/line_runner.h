#pragma once
// Runs the interpreter's work off the window's thread, so a long line never
// freezes the window: it repaints, and Break can stop the line. One job runs
// at a time. While it runs, the window leaves the interpreter alone; the
// job reaches the window only through `onGuiThread`, which waits for the
// window's thread to do the work, so the two never touch the same thing at
// once.
#include <QObject>
#include <QThread>
#include <functional>

namespace wox::gui {

class LineRunner : public QObject {
    Q_OBJECT
public:
    explicit LineRunner(QObject* parent = nullptr);
    // Waits for a running job; the window makes sure none is running.
    ~LineRunner() override;

    bool busy() const { return busy_; }
    // Starts `job` on the worker thread; false (and nothing run) while
    // another job runs. `finished` follows on the window's thread.
    bool run(std::function<void()> job);
    // Runs `work` on the window's thread and returns when it is done.
    void onGuiThread(const std::function<void()>& work);

signals:
    void started();
    void finished();

private:
    QThread thread_;
    QObject* worker_;
    bool busy_ = false;
};

}  // namespace wox::gui
