#ifndef KORVEL_DEVBACKEND_LIFECYCLE_H_
#define KORVEL_DEVBACKEND_LIFECYCLE_H_

#include <functional>

// How the backend ends. Every path is final: the first caller ends the
// process and any later caller waits for that, so an exit requested twice
// (say a handshake and a signal at once) never runs its side effects twice.

// Blocks SIGTERM, SIGINT and SIGHUP in the calling thread, ignores SIGPIPE
// and starts a thread that calls `onSignal` for each of the three. Call it
// first in main(), before any other thread exists, so every thread inherits
// the mask and only the watcher sees the signals.
void StartSignalWatcher(std::function<void(int)> onSignal);

// The listening socket that a port holder keeps open after the exit.
void SetListeningSocket(int fd);

// Ends the process with `status`. With `holdPortMs` above 0 a forked child
// keeps the listening socket open that much longer without accepting, like
// a socket inherited by a leftover child process: the backend has exited and
// been reaped, yet connects to the port still succeed (they queue).
[[noreturn]] void ExitBackend(int status, int holdPortMs);

// Ends the process by `signal` (with its default action, no core file),
// after starting a port holder as ExitBackend does.
[[noreturn]] void CrashBackend(int signal, int holdPortMs);

// Runs `task` on a detached thread after `ms` milliseconds.
void RunAfter(int ms, std::function<void()> task);

#endif  // KORVEL_DEVBACKEND_LIFECYCLE_H_
