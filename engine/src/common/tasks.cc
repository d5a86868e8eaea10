#include <atomic>
#include <map>
#include <mutex>
#include <utility>

#include "common/tasks.h"
#include "common/thread_registry.h"
#include "include/base/cef_logging.h"

namespace cefengine {

namespace {

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<CefThreadId, std::shared_ptr<TaskQueue>>& Registry() {
  static auto* registry = new std::map<CefThreadId, std::shared_ptr<TaskQueue>>;
  return *registry;
}

class TaskRunnerImpl : public CefTaskRunner {
 public:
  explicit TaskRunnerImpl(CefThreadId thread) : thread_(thread) {}

  bool IsSame(CefRefPtr<CefTaskRunner> that) override {
    auto* other = static_cast<TaskRunnerImpl*>(that.get());
    return other && other->thread_ == thread_;
  }
  bool BelongsToCurrentThread() override { return CefCurrentlyOn(thread_); }
  bool BelongsToThread(CefThreadId thread) override {
    return thread == thread_;
  }
  bool PostTask(CefRefPtr<CefTask> task) override {
    return CefPostTask(thread_, task);
  }
  bool PostDelayedTask(CefRefPtr<CefTask> task, int64_t delay_ms) override {
    return CefPostDelayedTask(thread_, task, delay_ms);
  }

 private:
  const CefThreadId thread_;
  IMPLEMENT_REFCOUNTING(TaskRunnerImpl);
};

}  // namespace

void RegisterThread(CefThreadId thread, std::shared_ptr<TaskQueue> queue) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Registry()[thread] = std::move(queue);
}

void UnregisterThread(CefThreadId thread) {
  std::shared_ptr<TaskQueue> queue;
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto it = Registry().find(thread);
    if (it == Registry().end())
      return;
    queue = std::move(it->second);
    Registry().erase(it);
  }
}

std::shared_ptr<TaskQueue> GetThreadQueue(CefThreadId thread) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  auto it = Registry().find(thread);
  return it == Registry().end() ? nullptr : it->second;
}

bool PostTask(CefThreadId thread, Closure closure) {
  return PostDelayedTask(thread, std::move(closure), 0);
}

bool PostDelayedTask(CefThreadId thread, Closure closure, int64_t delay_ms) {
  std::shared_ptr<TaskQueue> queue = GetThreadQueue(thread);
  return queue && queue->Post(std::move(closure), delay_ms);
}

std::atomic<bool> g_public_tasks_refused{false};

void RefusePublicTasks() {
  g_public_tasks_refused = true;
}

}  // namespace cefengine

bool CefCurrentlyOn(CefThreadId threadId) {
  std::shared_ptr<cefengine::TaskQueue> queue =
      cefengine::GetThreadQueue(threadId);
  return queue && queue->BelongsToCurrentThread();
}

bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task) {
  return CefPostDelayedTask(threadId, task, 0);
}

bool CefPostDelayedTask(CefThreadId threadId,
                        CefRefPtr<CefTask> task,
                        int64_t delay_ms) {
  if (!task)
    return false;
  if (cefengine::g_public_tasks_refused) {
    LOG(ERROR) << "CefPostTask called after CefInitialize returned false";
    return false;
  }
  return cefengine::PostDelayedTask(
      threadId, [task] { task->Execute(); }, delay_ms);
}

CefRefPtr<CefTaskRunner> CefTaskRunner::GetForCurrentThread() {
  for (CefThreadId thread : {TID_UI, TID_IO, TID_RENDERER}) {
    if (CefCurrentlyOn(thread))
      return new cefengine::TaskRunnerImpl(thread);
  }
  return nullptr;
}

CefRefPtr<CefTaskRunner> CefTaskRunner::GetForThread(CefThreadId threadId) {
  if (!cefengine::GetThreadQueue(threadId))
    return nullptr;
  return new cefengine::TaskRunnerImpl(threadId);
}
