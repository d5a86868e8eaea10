// Closure-based task posting for engine code; the public CefPostTask family
// is built on the same queues.

#ifndef CEFENGINE_COMMON_TASKS_H_
#define CEFENGINE_COMMON_TASKS_H_

#include <cstdint>
#include <functional>

#include "include/cef_task.h"

namespace cefengine {

using Closure = std::function<void()>;

// Queues |closure| on |thread|. Returns false (and drops the closure on the
// calling thread) when that thread does not exist in this process or no
// longer accepts work. Tasks run in posting order.
bool PostTask(CefThreadId thread, Closure closure);

// Like PostTask, run no earlier than |delay_ms| from now. Tasks due at the
// same time run in posting order.
bool PostDelayedTask(CefThreadId thread, Closure closure, int64_t delay_ms);

// After CefInitialize has returned false the application must call no other
// engine function (cef_app.h). From then on the public posting calls log an
// error, so that such a call shows, and refuse the task.
void RefusePublicTasks();

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_TASKS_H_
