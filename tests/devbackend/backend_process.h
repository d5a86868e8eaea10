#ifndef KORVEL_TESTS_DEVBACKEND_BACKEND_PROCESS_H_
#define KORVEL_TESTS_DEVBACKEND_BACKEND_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

using engine_test::TempDir;
using engine_test::WaitUntil;
using std::chrono::milliseconds;

// A korvel-backend child process with its standard output and standard
// error on two pipes. The destructor kills and reaps it, and also every other
// child this test process has gained (a port holder left behind by a backend
// is re-parented here, because the constructor makes this process a child
// subreaper), so no test leaves a process behind, also when it fails.
class BackendProcess {
 public:
  using Environment = std::map<std::string, std::string>;

  struct WorkingDir {
    std::string path;
  };

  // Starts the backend with `environment` added to this process's own, in
  // `workingDir` or else in this process's working directory.
  explicit BackendProcess(const Environment& environment = {});
  BackendProcess(const WorkingDir& workingDir, const Environment& environment);
  ~BackendProcess();
  BackendProcess(const BackendProcess&) = delete;
  BackendProcess& operator=(const BackendProcess&) = delete;

  pid_t pid() const { return pid_; }
  int stdoutFd() const { return stdout_; }
  int stderrFd() const { return stderr_; }

  // Waits until 127.0.0.1:35580 accepts connections.
  bool WaitForPort(int timeoutMs = 10000) const;

  // Waits for the exit and stores the waitpid status. False on timeout.
  bool WaitForExit(int timeoutMs, int& status);
  bool HasExited();

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
  int stderr_ = -1;
  bool reaped_ = false;
};

// The result of one request on a fresh connection.
struct RawReply {
  std::string bytes;          // everything received
  bool closedByPeer = false;  // end of stream, not a time-out
  int status = 0;
  std::string head;  // status line and headers
  std::string body;
};

// Sends `request` as is to 127.0.0.1:`port` and reads until the server
// closes or `timeoutMs` passes without data. (The server always closes: the
// bound only ends a test whose server hangs. A short one failed answers that
// a busy machine delayed.)
RawReply RawExchange(const std::string& request,
                     int timeoutMs = 15000,
                     int port = 35580);

// A GET or POST in the shape the shell writes them, with Connection: close.
RawReply Get(const std::string& path);
RawReply Post(const std::string& path, const std::string& jsonBody);

// The request bytes of the shell's restart handshake.
std::string HandshakeRequest();

// True when a TCP connect to 127.0.0.1:`port` succeeds.
bool IsPortOpen(int port = 35580);

// One read(2) of at most 255 bytes, as the shell's reader does, after
// waiting up to `timeoutMs` for data. Empty on time-out or end of file.
std::string ReadChunk(int fd, int timeoutMs);

#endif  // KORVEL_TESTS_DEVBACKEND_BACKEND_PROCESS_H_
