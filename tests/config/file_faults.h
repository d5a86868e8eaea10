// What a user's data directory may hold where a reader expects a small
// regular file, and ways to read such files as an ordinary user would.

#ifndef KORVEL_TESTS_CONFIG_FILE_FAULTS_H_
#define KORVEL_TESTS_CONFIG_FILE_FAULTS_H_

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace file_faults {

enum class Fault {
  kDirectory,
  kUnreadable,  // mode 000
  kHugeSparse,  // 1 GiB, nearly all hole
  kFifo,
  kLoopOfTwo,  // path -> partner -> path
  kLoopToSelf,
};
constexpr Fault kEveryFault[] = {Fault::kDirectory,  Fault::kUnreadable,
                                 Fault::kHugeSparse, Fault::kFifo,
                                 Fault::kLoopOfTwo,  Fault::kLoopToSelf};
constexpr off_t kHugeBytes = off_t{1} << 30;

const char* Name(Fault fault);

// Removes whatever `path` and its loop partner are.
void Remove(const std::string& path);
// Puts `fault` at `path` in place of whatever is there; a huge file starts
// with `head`. False when it could not be made.
bool Place(const std::string& path, Fault fault, const std::string& head);

struct UserRead {
  // What `read` returned, or how the child ended when it did not return.
  std::string result;
  // Growth of the child's peak resident size during `read`.
  long peakGrowthKb = 0;
};

// Runs `read` in a forked child. When this process is root, the child first
// becomes uid and gid 65534, so that mode bits bind it as they bind a user;
// otherwise it already is one. A crash shows as the result "signal N", a
// read blocked for 30 s as "signal 14".
UserRead ReadAsUser(const std::function<std::string()>& read);

// Peak resident size of this process in KiB (VmHWM).
long PeakResidentKb();

// Rewrites a file on a thread of its own until destroyed, as an updater or a
// log would: truncates it, writes `head` in one write, then appends `tail`
// in one write at a time until the file exceeds `limit` bytes, and again.
class Churn {
 public:
  Churn(const std::string& path,
        const std::string& head,
        const std::string& tail,
        size_t limit);
  ~Churn();
  Churn(const Churn&) = delete;
  Churn& operator=(const Churn&) = delete;

  // Rounds completed so far (a round ends above `limit`).
  long rounds() const { return rounds_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<long> rounds_{0};
  std::thread writer_;
};

}  // namespace file_faults

#endif  // KORVEL_TESTS_CONFIG_FILE_FAULTS_H_
