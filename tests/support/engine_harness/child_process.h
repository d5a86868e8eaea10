// A child program with its standard input and output on pipes, in a process
// group of its own so that it can be killed together with everything it
// started.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_CHILD_PROCESS_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_CHILD_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace engine_test {

using std::chrono::milliseconds;

class ChildProcess {
 public:
  // Starts argv[0] with |argv|. Its stderr goes to |stderr_path| when one is
  // given (created or truncated), else to the test's own stderr. The child
  // is killed should the test process die first. started() tells whether
  // the fork worked; an exec failure shows as exit status 127.
  explicit ChildProcess(const std::vector<std::string>& argv,
                        const std::string& stderr_path = "");
  // Closes the child's stdin, kills its whole process group and reaps it.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  // Writes |line| and a newline to the child's stdin. False when the child
  // cannot take it (stdin closed, child gone): never a SIGPIPE.
  bool SendLine(const std::string& line);
  // The child sees the end of its input.
  void CloseStdin();

  // The next line of the child's output without its newline; nothing when
  // no whole line arrives within |timeout| or the output has ended.
  std::optional<std::string> ReadLine(milliseconds timeout);
  // True once the child and everything sharing its stdout closed it and
  // every line was read.
  bool output_ended() const { return from_child_ < 0 && buffer_.empty(); }

  // Waits up to |timeout| for the child to exit and reaps it; its wait
  // status (see waitpid), or nothing while it still runs. Once reaped, the
  // same status is returned at once.
  std::optional<int> WaitForExit(milliseconds timeout);
  // Sends |signal| to the child's process group (the child included).
  void SignalGroup(int signal);

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
  int to_child_ = -1;
  int from_child_ = -1;
  std::string buffer_;
};

// The wait status |status| as "exit N" or "signal N", for failure messages.
std::string DescribeStatus(int status);

// Runs |argv| with its stdin closed until it exits or |timeout| passes (its
// group is killed then); its standard output, every line ending in a
// newline, or nothing unless it exited with status 0. See ChildProcess for
// |stderr_path|; argv[0] is not looked up on PATH (use /usr/bin/env).
std::optional<std::string> RunForOutput(const std::vector<std::string>& argv,
                                        milliseconds timeout,
                                        const std::string& stderr_path = "");

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_CHILD_PROCESS_H_
