#ifndef KORVEL_BACKEND_BACKEND_SPAWN_H_
#define KORVEL_BACKEND_BACKEND_SPAWN_H_

#include <sys/types.h>

#include <string>

// The path without its last component: "/a/b" gives "/a", "/b" gives "/",
// a single component gives "".
std::string ParentDirectory(const std::string& path);

// Forks and executes `path` as the backend: argument 0 is `path` and there
// are no others; environment and stdin are inherited; the working directory
// is the executable's directory; stdout and stderr are one pipe whose read
// end (close-on-exec) is returned in `outputFd`. The child dies with
// SIGKILL when the calling thread ends, starts with no signal blocked, and
// inherits no descriptor other than 0, 1 and 2. Exec failures show up as an
// ordinary exit with status 127. Returns false, with nothing left open, when
// the pipe or the fork fails.
bool SpawnBackend(const std::string& path, pid_t& pid, int& outputFd);

#endif  // KORVEL_BACKEND_BACKEND_SPAWN_H_
