// A queue of closures for one thread. Tasks are ordered by due time, then by
// posting order, so undelayed tasks run first-in first-out.

#ifndef CEFENGINE_COMMON_TASK_QUEUE_H_
#define CEFENGINE_COMMON_TASK_QUEUE_H_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

#include "common/tasks.h"

namespace cefengine {

class TaskQueue {
 public:
  using Clock = std::chrono::steady_clock;

  TaskQueue();
  TaskQueue(const TaskQueue&) = delete;
  TaskQueue& operator=(const TaskQueue&) = delete;
  virtual ~TaskQueue();

  // Any thread. False once the queue was stopped.
  bool Post(Closure closure, int64_t delay_ms);

  // True when called on the thread that runs this queue.
  bool BelongsToCurrentThread() const;

  // Stops accepting tasks and drops the pending ones (destroyed on the
  // calling thread).
  void StopAccepting();

 protected:
  // Marks the calling thread as the one that runs this queue.
  void BindToCurrentThread();

  // Runs the tasks that are due now and were posted before this call
  // started; tasks they post wait for the next call. Returns the time the
  // earliest remaining task becomes due, or Clock::time_point::max().
  Clock::time_point RunDueTasks();

  // Earliest due time of the pending tasks, or Clock::time_point::max().
  Clock::time_point NextDueTime();

  // Called after a post (on the posting thread) so the running thread
  // rechecks the queue.
  virtual void Wake() = 0;

  mutable std::mutex mutex_;

 private:
  struct Task {
    Clock::time_point due;
    uint64_t sequence;
    mutable Closure closure;
    bool operator>(const Task& other) const {
      return due != other.due ? due > other.due : sequence > other.sequence;
    }
  };

  std::priority_queue<Task, std::vector<Task>, std::greater<Task>> tasks_;
  uint64_t next_sequence_ = 0;
  bool accepting_ = true;
  std::thread::id thread_id_;
};

// A queue with its own thread (the IO thread).
class ThreadTaskQueue : public TaskQueue {
 public:
  ThreadTaskQueue();
  ~ThreadTaskQueue() override;

  // Starts the thread. Call once.
  void Start();

  // Stops accepting tasks, wakes the thread and joins it. Tasks still
  // queued are dropped. Not from the queue's own thread.
  void Stop();

 private:
  void Wake() override;
  void Run();

  std::condition_variable wake_;
  bool stopping_ = false;
  bool woken_ = false;
  std::thread thread_;
};

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_TASK_QUEUE_H_
