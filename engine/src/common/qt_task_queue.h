// The task queue of a thread that runs a Qt event loop: the browser UI
// thread and the renderer main thread.

#ifndef CEFENGINE_COMMON_QT_TASK_QUEUE_H_
#define CEFENGINE_COMMON_QT_TASK_QUEUE_H_

#include <QObject>
#include <QTimer>

#include <atomic>

#include "common/task_queue.h"

namespace cefengine {

class QtTaskQueue : public QObject, public TaskQueue {
  Q_OBJECT

 public:
  // Binds to the calling thread, which must own the Qt event loop that will
  // run the tasks. Tasks posted before the loop runs wait for it.
  QtTaskQueue();
  ~QtTaskQueue() override;

  // Runs the due tasks now (for CefDoMessageLoopWork). Queue thread only.
  void RunPending();

 private:
  void Wake() override;
  // Runs a batch of due tasks and arms the timer for the next delayed one.
  void Pump();

  QTimer timer_;
  std::atomic<bool> wake_pending_{false};
};

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_QT_TASK_QUEUE_H_
