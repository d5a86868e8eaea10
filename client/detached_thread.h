// Detached worker threads for the shell's waits and requests.

#ifndef KORVEL_CLIENT_DETACHED_THREAD_H_
#define KORVEL_CLIENT_DETACHED_THREAD_H_

#include <functional>
#include <system_error>
#include <thread>
#include <utility>

// Runs |work| on a new detached thread. False, with |work| dropped, when no
// thread can be had (a process limit, memory): the caller falls back rather
// than the process ending on the exception.
inline bool RunDetached(std::function<void()> work) {
  try {
    std::thread(std::move(work)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

#endif  // KORVEL_CLIENT_DETACHED_THREAD_H_
