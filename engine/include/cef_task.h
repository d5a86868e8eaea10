// Posting work to the engine's named threads.

#ifndef CEF_INCLUDE_CEF_TASK_H_
#define CEF_INCLUDE_CEF_TASK_H_

#include "include/cef_base.h"

typedef cef_thread_id_t CefThreadId;

// A unit of work for another thread. When posting fails the task may be
// destroyed on the posting thread, so destructors must not assume a thread.
class CefTask : public virtual CefBaseRefCounted {
 public:
  // Runs on the thread the task was posted to.
  virtual void Execute() = 0;
};

// Runs tasks on one engine thread. Its methods may be called on any thread.
class CefTaskRunner : public virtual CefBaseRefCounted {
 public:
  // The runner of the calling thread, or null on a thread the engine does not
  // run.
  static CefRefPtr<CefTaskRunner> GetForCurrentThread();

  // The runner of |threadId|, or null when that thread does not exist in this
  // process (yet, or any more).
  static CefRefPtr<CefTaskRunner> GetForThread(CefThreadId threadId);

  // True when |that| runs tasks on the same thread.
  virtual bool IsSame(CefRefPtr<CefTaskRunner> that) = 0;

  // True when called on this runner's thread.
  virtual bool BelongsToCurrentThread() = 0;

  // True when this runner serves |threadId|.
  virtual bool BelongsToThread(CefThreadId threadId) = 0;

  // Queues |task|; false when the thread no longer accepts work.
  virtual bool PostTask(CefRefPtr<CefTask> task) = 0;

  // Queues |task| to run no earlier than |delay_ms| from now.
  virtual bool PostDelayedTask(CefRefPtr<CefTask> task, int64_t delay_ms) = 0;
};

// True when the calling thread is |threadId|.
bool CefCurrentlyOn(CefThreadId threadId);

// Queues |task| on |threadId|; false when that thread accepts no work.
bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task);

// Queues |task| on |threadId| to run after |delay_ms| milliseconds.
bool CefPostDelayedTask(CefThreadId threadId,
                        CefRefPtr<CefTask> task,
                        int64_t delay_ms);

#endif  // CEF_INCLUDE_CEF_TASK_H_
