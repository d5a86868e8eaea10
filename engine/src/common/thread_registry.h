// Which task queue serves which CefThreadId in this process.

#ifndef CEFENGINE_COMMON_THREAD_REGISTRY_H_
#define CEFENGINE_COMMON_THREAD_REGISTRY_H_

#include <memory>

#include "common/task_queue.h"

namespace cefengine {

// Makes |queue| the queue of |thread| until UnregisterThread.
void RegisterThread(CefThreadId thread, std::shared_ptr<TaskQueue> queue);

// Removes the queue of |thread|; later posts to it fail.
void UnregisterThread(CefThreadId thread);

// The queue of |thread|, or null.
std::shared_ptr<TaskQueue> GetThreadQueue(CefThreadId thread);

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_THREAD_REGISTRY_H_
