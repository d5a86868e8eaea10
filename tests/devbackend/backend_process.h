#ifndef KORVEL_TESTS_DEVBACKEND_BACKEND_PROCESS_H_
#define KORVEL_TESTS_DEVBACKEND_BACKEND_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

using engine_test::TempDir;
using engine_test::WaitUntil;
using std::chrono::milliseconds;

// Variables added to the environment of a backend.
using Env = std::map<std::string, std::string>;

// A korvel-backend child process (see ChildProcess) with its standard
// error in a file. The test process is a subreaper while it lives, and its
// end kills and reaps every child the test has gained, so that a port
// holder left behind by a backend goes too, also when the test fails.
class BackendProcess {
 public:
  // Starts the backend with `environment` added to this process's own.
  explicit BackendProcess(const Env& environment = {});

  pid_t pid() const { return process_.pid(); }

  // Waits until 127.0.0.1:35580 accepts connections.
  bool WaitForPort(int timeoutMs = 10000) const;

  // How the backend ended ("exit N", "signal N"), or "running" when it has
  // not within `timeoutMs`.
  std::string Ended(int timeoutMs = 10000);

 private:
  engine_test::Reaper reaper_;
  TempDir logs_{"korvel-backend-logs"};
  std::string stderr_ = logs_.path() + "/stderr";
  engine_test::ChildProcess process_;
};

// The result of one request on a fresh connection.
struct RawReply {
  std::string bytes;          // everything received
  bool closedByPeer = false;  // end of stream, not a time-out
  int status = 0;
  std::string head;  // status line and headers
  std::string body;
};

// Sends `request` as is to 127.0.0.1:35580 and reads until the server
// closes or 15 s pass without data. (The server always closes: the bound
// only ends a test whose server hangs. A short one failed answers that a
// busy machine delayed.)
RawReply RawExchange(const std::string& request);

// A GET or POST in the shape the shell writes them, with Connection: close.
RawReply Get(const std::string& path);
RawReply Post(const std::string& path, const std::string& jsonBody);
// A POST to `path` with `headers` (each ending in CRLF) and `body`.
RawReply PostWith(const std::string& path,
                  const std::string& headers,
                  const std::string& body);

// The request bytes of the shell's restart handshake.
std::string HandshakeRequest();

// True when a TCP connect to 127.0.0.1:35580 succeeds.
bool IsPortOpen();

#endif  // KORVEL_TESTS_DEVBACKEND_BACKEND_PROCESS_H_
