#include "common/task_queue.h"

#include <utility>

namespace cefengine {

TaskQueue::TaskQueue() = default;
TaskQueue::~TaskQueue() = default;

bool TaskQueue::Post(Closure closure, int64_t delay_ms) {
  if (!closure)
    return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!accepting_)
      return false;
    Clock::time_point due = Clock::now();
    if (delay_ms > 0)
      due += std::chrono::milliseconds(delay_ms);
    tasks_.push(Task{due, next_sequence_++, std::move(closure)});
  }
  Wake();
  return true;
}

bool TaskQueue::BelongsToCurrentThread() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::this_thread::get_id() == thread_id_;
}

void TaskQueue::StopAccepting() {
  decltype(tasks_) dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    accepting_ = false;
    std::swap(dropped, tasks_);
  }
  // |dropped| is destroyed here, outside the lock: closures may hold
  // references whose release posts again.
}

void TaskQueue::BindToCurrentThread() {
  std::lock_guard<std::mutex> lock(mutex_);
  thread_id_ = std::this_thread::get_id();
}

TaskQueue::Clock::time_point TaskQueue::RunDueTasks() {
  uint64_t limit;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    limit = next_sequence_;
  }
  for (;;) {
    Closure closure;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (tasks_.empty())
        return Clock::time_point::max();
      const Task& top = tasks_.top();
      if (top.due > Clock::now() || top.sequence >= limit)
        return top.due;
      closure = std::move(top.closure);
      tasks_.pop();
    }
    closure();
  }
}

TaskQueue::Clock::time_point TaskQueue::NextDueTime() {
  std::lock_guard<std::mutex> lock(mutex_);
  return tasks_.empty() ? Clock::time_point::max() : tasks_.top().due;
}

ThreadTaskQueue::ThreadTaskQueue() = default;

ThreadTaskQueue::~ThreadTaskQueue() {
  Stop();
}

void ThreadTaskQueue::Start() {
  thread_ = std::thread(&ThreadTaskQueue::Run, this);
}

void ThreadTaskQueue::Stop() {
  StopAccepting();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable())
    thread_.join();
}

void ThreadTaskQueue::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

void ThreadTaskQueue::Run() {
  BindToCurrentThread();
  for (;;) {
    const Clock::time_point next = RunDueTasks();
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopping_)
      return;
    if (woken_) {
      woken_ = false;
      continue;
    }
    if (next == Clock::time_point::max())
      wake_.wait(lock, [this] { return woken_ || stopping_; });
    else
      wake_.wait_until(lock, next, [this] { return woken_ || stopping_; });
    woken_ = false;
  }
}

}  // namespace cefengine
