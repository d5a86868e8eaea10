#include "common/qt_task_queue.h"

#include <QMetaObject>

namespace cefengine {

QtTaskQueue::QtTaskQueue() {
  BindToCurrentThread();
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &QtTaskQueue::Pump);
}

QtTaskQueue::~QtTaskQueue() {
  StopAccepting();
}

void QtTaskQueue::RunPending() {
  Pump();
}

void QtTaskQueue::Wake() {
  // One queued wake-up at a time is enough: Pump looks at the whole queue.
  if (wake_pending_.exchange(true))
    return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        wake_pending_ = false;
        Pump();
      },
      Qt::QueuedConnection);
}

void QtTaskQueue::Pump() {
  const Clock::time_point next = RunDueTasks();
  if (next == Clock::time_point::max()) {
    timer_.stop();
    return;
  }
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
      next - Clock::now());
  // Round up so the timer never fires before the task is due.
  const int ms = wait.count() < 0 ? 0 : static_cast<int>(wait.count()) + 1;
  timer_.start(ms);
}

}  // namespace cefengine
