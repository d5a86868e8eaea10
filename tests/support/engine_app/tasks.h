// Closures as engine tasks.

#ifndef TESTS_SUPPORT_ENGINE_APP_TASKS_H_
#define TESTS_SUPPORT_ENGINE_APP_TASKS_H_

#include <stdint.h>

#include <functional>

#include "include/cef_task.h"

namespace engine_test_app {

// Runs a closure as a CefTask.
class FunctionTask : public CefTask {
 public:
  explicit FunctionTask(std::function<void()> function)
      : function_(std::move(function)) {}

  // CefTask methods:
  void Execute() override { function_(); }

 private:
  std::function<void()> function_;
  IMPLEMENT_REFCOUNTING(FunctionTask);
};

inline CefRefPtr<CefTask> Task(std::function<void()> function) {
  return new FunctionTask(std::move(function));
}

// Runs |function| on the UI thread after |delay_ms|; false when the engine
// no longer takes tasks there (shutting down).
inline bool PostUiTask(std::function<void()> function, int64_t delay_ms = 0) {
  return CefPostDelayedTask(TID_UI, Task(std::move(function)), delay_ms);
}

}  // namespace engine_test_app

#endif  // TESTS_SUPPORT_ENGINE_APP_TASKS_H_
