#ifndef KORVEL_TESTS_BACKEND_BACKEND_FIXTURE_H_
#define KORVEL_TESTS_BACKEND_BACKEND_FIXTURE_H_

#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"

using Report = std::map<std::string, std::string>;

// Runs the real launcher in the test process against a helper executable.
// Each case gets a private data directory (no release manifests, so the
// launcher falls back to "korvel-backend" in the working directory) and a
// working directory in which that name links to the probe backend, unless
// the case links another. Whatever the case leaves running is killed and
// reaped before the next one.
class BackendFixture : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes "korvel-backend" in the working directory point at `executable`.
  void UseBackend(const std::string& executable);
  // Pids of every backend that has written its report so far.
  std::vector<pid_t> ReportedPids();
  // The report of backend `pid` ("<pid>.<kind>" in the report directory),
  // waiting up to `timeout` for it to appear; empty when it does not.
  Report ReadReport(pid_t pid,
                    std::chrono::milliseconds timeout,
                    const std::string& kind = "report");
  // backendPid as the supervision state holds it.
  pid_t CurrentBackendPid();
  // Starts a backend and returns its pid once it has forked.
  pid_t StartAndWait();

  std::string root_;
  std::string dataDir_;
  std::string workDir_;
  std::string reportDir_;

 private:
  std::string previousDir_;
};

// While it lives, the process is out of descriptors: a launch cannot even
// create its pipe.
class DescriptorStarvation {
 public:
  DescriptorStarvation() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    int lowest = dup(0);
    close(lowest);
    rlimit starved = saved_;
    starved.rlim_cur = lowest;
    setrlimit(RLIMIT_NOFILE, &starved);
  }
  ~DescriptorStarvation() { setrlimit(RLIMIT_NOFILE, &saved_); }

 private:
  rlimit saved_{};
};

// An HTTP answer of |status| with the JSON |body|, closing the connection,
// for the servers that stand in for the backend's endpoints.
std::string HttpAnswer(int status, const std::string& body);

// Milliseconds since construction, on the monotonic clock.
class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()) {}
  long long ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now() - start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

#endif  // KORVEL_TESTS_BACKEND_BACKEND_FIXTURE_H_
