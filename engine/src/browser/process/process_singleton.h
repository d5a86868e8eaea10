// One browser process per root cache directory. The first process holds an
// advisory lock on a file in that directory (released by the kernel when the
// process dies, so a crash never leaves a stale lock behind) and listens on
// a Unix socket next to it. A later process that finds the lock taken sends
// its argv and working directory over the socket, waits for an answer and
// gives up.

#ifndef CEFENGINE_BROWSER_PROCESS_PROCESS_SINGLETON_H_
#define CEFENGINE_BROWSER_PROCESS_PROCESS_SINGLETON_H_

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace cefengine {

class ProcessSingleton {
 public:
  enum class Result {
    // This process owns the directory.
    kPrimary,
    // Another process owns it and has been told about this launch.
    kNotified,
    // Another process owns it but could not be told (not answering), or the
    // directory is unusable.
    kFailed,
  };

  // Called on the listener thread for each later launch. |done| must be run
  // (on any thread) once the launch has been handled; the later process
  // waits for that.
  using RelaunchHandler = std::function<void(std::vector<std::string> argv,
                                             std::string cwd,
                                             std::function<void()> done)>;

  static constexpr char kLockFileName[] = "EngineSingletonLock";
  static constexpr char kSocketName[] = "EngineSingletonSocket";

  explicit ProcessSingleton(std::string dir);
  ProcessSingleton(const ProcessSingleton&) = delete;
  ProcessSingleton& operator=(const ProcessSingleton&) = delete;
  ~ProcessSingleton();

  // Creates the directory if needed and tries to own it. When it is owned
  // by a live process, forwards |argv| and |cwd| to it, waiting at most
  // |timeout_ms| in total for it to accept and answer.
  Result Acquire(const std::vector<std::string>& argv,
                 const std::string& cwd,
                 int timeout_ms);

  // Primary only: starts answering later launches with |handler|.
  void StartListening(RelaunchHandler handler);

  // Stops answering later launches; they wait and then fail.
  void StopListening();

  // Stops listening, removes the socket and releases the lock.
  void Release();

 private:
  bool Listen();
  void ListenLoop();
  void HandleConnection(int fd);
  // Sends the launch to the owner. |delivered| tells whether the owner
  // received it, even when it then failed to confirm.
  Result Notify(const std::vector<std::string>& argv,
                const std::string& cwd,
                int timeout_ms,
                bool* delivered);

  std::string dir_;
  int lock_fd_ = -1;
  int listen_fd_ = -1;
  int wake_pipe_[2] = {-1, -1};
  // Set when the socket lives in a temporary directory because its path in
  // |dir_| is too long for a socket address.
  std::string socket_temp_dir_;
  RelaunchHandler handler_;
  std::thread listener_;
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PROCESS_PROCESS_SINGLETON_H_
