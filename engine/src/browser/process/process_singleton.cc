#include "browser/process/process_singleton.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <utility>

#include "browser/process/settings_switches.h"
#include "common/value_codec.h"
#include "include/base/cef_logging.h"

namespace cefengine {

namespace {

using Clock = std::chrono::steady_clock;

// First field of a launch message, so that anything else talking to the
// socket is turned away.
constexpr uint32_t kMagic = 0x4c4e4345;  // "ECNL"
constexpr uint32_t kMaxMessageSize = 1u << 20;
constexpr char kAck = 'A';
constexpr int kReadTimeoutMs = 2000;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

void SetTimeouts(int fd, int ms) {
  if (ms < 1)
    ms = 1;
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, char* data, size_t size) {
  while (size > 0) {
    ssize_t n = recv(fd, data, size, 0);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
  memset(address, 0, sizeof(*address));
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof(address->sun_path))
    return false;
  memcpy(address->sun_path, path.c_str(), path.size());
  return true;
}

// The address to connect to for |path|: the target when |path| is a
// symbolic link (used when the socket itself lives elsewhere).
std::string ResolveSocketPath(const std::string& path) {
  char target[4096];
  ssize_t n = readlink(path.c_str(), target, sizeof(target) - 1);
  if (n <= 0)
    return path;
  return std::string(target, static_cast<size_t>(n));
}

// Removes a socket a dead owner left behind, including its temporary
// directory when |path| is a link to one.
void RemoveStaleSocket(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0)
    return;
  if (S_ISLNK(st.st_mode)) {
    const std::string target = ResolveSocketPath(path);
    struct stat target_st;
    if (lstat(target.c_str(), &target_st) == 0 && S_ISSOCK(target_st.st_mode)) {
      unlink(target.c_str());
      const size_t slash = target.rfind('/');
      if (slash != std::string::npos && slash > 0)
        rmdir(target.substr(0, slash).c_str());
    }
  }
  unlink(path.c_str());
}

// Owns one accepted connection; closing it without an answer tells the
// waiting process that its launch was not handled.
class PendingReply {
 public:
  explicit PendingReply(int fd) : fd_(fd) {}
  PendingReply(const PendingReply&) = delete;
  PendingReply& operator=(const PendingReply&) = delete;
  ~PendingReply() { close(fd_); }
  void Ack() { WriteAll(fd_, &kAck, 1); }

 private:
  int fd_;
};

}  // namespace

constexpr char ProcessSingleton::kLockFileName[];
constexpr char ProcessSingleton::kSocketName[];

ProcessSingleton::ProcessSingleton(std::string dir) : dir_(std::move(dir)) {}

ProcessSingleton::~ProcessSingleton() {
  Release();
}

ProcessSingleton::Result ProcessSingleton::Acquire(
    const std::vector<std::string>& argv,
    const std::string& cwd,
    int timeout_ms) {
  if (!MakeDirs(dir_)) {
    PLOG(ERROR) << "Cannot create the cache directory " << dir_;
    return Result::kFailed;
  }
  const std::string lock_path = dir_ + "/" + kLockFileName;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    lock_fd_ = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock_fd_ < 0) {
      PLOG(ERROR) << "Cannot open " << lock_path;
      return Result::kFailed;
    }
    if (flock(lock_fd_, LOCK_EX | LOCK_NB) == 0) {
      // For people looking at the directory; nothing reads it back.
      char host[256] = {0};
      gethostname(host, sizeof(host) - 1);
      const std::string owner =
          std::string(host) + "-" + std::to_string(getpid()) + "\n";
      if (ftruncate(lock_fd_, 0) == 0)
        WriteAll(lock_fd_, owner.data(), owner.size());
      if (!Listen())
        PLOG(ERROR) << "Later launches cannot reach this process";
      return Result::kPrimary;
    }
    const int lock_error = errno;
    close(lock_fd_);
    lock_fd_ = -1;
    if (lock_error != EWOULDBLOCK) {
      errno = lock_error;
      PLOG(ERROR) << "Cannot lock " << lock_path;
      return Result::kFailed;
    }
    // The owner may still be setting up its socket, or may just have died
    // and freed the lock: try to notify, else look at the lock again.
    bool delivered = false;
    const Result result =
        Notify(argv, cwd, MillisecondsUntil(deadline), &delivered);
    if (result == Result::kNotified)
      return result;
    if (delivered) {
      // Sending again would report this launch twice.
      LOG(ERROR) << "The process that owns " << dir_
                 << " did not confirm the launch";
      return Result::kFailed;
    }
    if (MillisecondsUntil(deadline) == 0) {
      LOG(ERROR) << "The process that owns " << dir_ << " does not answer";
      return Result::kFailed;
    }
    usleep(100 * 1000);
  }
}

bool ProcessSingleton::Listen() {
  const std::string path = dir_ + "/" + kSocketName;
  RemoveStaleSocket(path);
  listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0)
    return false;
  sockaddr_un address;
  std::string bind_path = path;
  if (!FillAddress(path, &address)) {
    // Too long for a socket address: bind in a short private directory and
    // leave a link to it where later launches look.
    const char* tmp = getenv("TMPDIR");
    std::string templ =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/engine-singleton-XXXXXX";
    if (!mkdtemp(&templ[0]))
      return false;
    socket_temp_dir_ = templ;
    bind_path = templ + "/socket";
    if (!FillAddress(bind_path, &address))
      return false;
  }
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address),
           sizeof(address)) != 0 ||
      listen(listen_fd_, 8) != 0) {
    return false;
  }
  if (!socket_temp_dir_.empty() &&
      symlink(bind_path.c_str(), path.c_str()) != 0) {
    return false;
  }
  return pipe2(wake_pipe_, O_CLOEXEC) == 0;
}

void ProcessSingleton::StartListening(RelaunchHandler handler) {
  if (listen_fd_ < 0 || wake_pipe_[0] < 0 || listener_.joinable())
    return;
  handler_ = std::move(handler);
  listener_ = std::thread(&ProcessSingleton::ListenLoop, this);
}

void ProcessSingleton::ListenLoop() {
  for (;;) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR)
        continue;
      return;
    }
    if (fds[1].revents) {
      // Consume the wake-up so a later StartListening does not stop at once.
      char byte;
      if (read(wake_pipe_[0], &byte, 1) < 0) {
      }
      return;
    }
    if (fds[0].revents & POLLIN) {
      const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0)
        HandleConnection(fd);
    }
  }
}

void ProcessSingleton::HandleConnection(int fd) {
  auto reply = std::make_shared<PendingReply>(fd);
  SetTimeouts(fd, kReadTimeoutMs);
  unsigned char header[4];
  if (!ReadAll(fd, reinterpret_cast<char*>(header), sizeof(header)))
    return;
  const uint32_t size = header[0] | (header[1] << 8) | (header[2] << 16) |
                        (static_cast<uint32_t>(header[3]) << 24);
  if (size > kMaxMessageSize)
    return;
  std::string payload(size, '\0');
  if (size > 0 && !ReadAll(fd, &payload[0], size))
    return;
  Reader reader(payload.data(), payload.size());
  uint32_t magic = 0;
  uint32_t argc = 0;
  std::string cwd;
  if (!reader.U32(&magic) || magic != kMagic || !reader.Bytes(&cwd) ||
      !reader.U32(&argc) || argc > size) {
    return;
  }
  std::vector<std::string> argv(argc);
  for (std::string& arg : argv) {
    if (!reader.Bytes(&arg))
      return;
  }
  if (!reader.AtEnd() || !handler_)
    return;
  handler_(std::move(argv), std::move(cwd), [reply] { reply->Ack(); });
}

ProcessSingleton::Result ProcessSingleton::Notify(
    const std::vector<std::string>& argv,
    const std::string& cwd,
    int timeout_ms,
    bool* delivered) {
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(timeout_ms);
  sockaddr_un address;
  if (!FillAddress(ResolveSocketPath(dir_ + "/" + kSocketName), &address))
    return Result::kFailed;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return Result::kFailed;
  PendingReply closer(fd);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) !=
      0) {
    return Result::kFailed;
  }

  std::string payload;
  Writer writer(&payload);
  writer.U32(kMagic);
  writer.Bytes(cwd);
  writer.U32(static_cast<uint32_t>(argv.size()));
  for (const std::string& arg : argv)
    writer.Bytes(arg);
  std::string frame;
  Writer(&frame).U32(static_cast<uint32_t>(payload.size()));
  frame += payload;

  SetTimeouts(fd, MillisecondsUntil(deadline));
  if (!WriteAll(fd, frame.data(), frame.size()))
    return Result::kFailed;
  *delivered = true;
  // The owner answers once its application has handled the launch.
  for (;;) {
    SetTimeouts(fd, MillisecondsUntil(deadline));
    char answer = 0;
    const ssize_t n = recv(fd, &answer, 1, 0);
    if (n == 1)
      return answer == kAck ? Result::kNotified : Result::kFailed;
    // End of stream: the owner closed without answering.
    if (n == 0 || (errno != EAGAIN && errno != EINTR) ||
        MillisecondsUntil(deadline) == 0) {
      return Result::kFailed;
    }
  }
}

void ProcessSingleton::StopListening() {
  if (!listener_.joinable())
    return;
  const char byte = 0;
  if (write(wake_pipe_[1], &byte, 1) == 1)
    listener_.join();
}

void ProcessSingleton::Release() {
  StopListening();
  for (int& fd : wake_pipe_) {
    if (fd >= 0)
      close(fd);
    fd = -1;
  }
  if (listen_fd_ >= 0) {
    close(listen_fd_);
    listen_fd_ = -1;
    // Remove the socket while the lock is still held, so a successor's
    // fresh socket is never the one deleted.
    RemoveStaleSocket(dir_ + "/" + kSocketName);
    if (!socket_temp_dir_.empty()) {
      unlink((socket_temp_dir_ + "/socket").c_str());
      rmdir(socket_temp_dir_.c_str());
      socket_temp_dir_.clear();
    }
  }
  if (lock_fd_ >= 0) {
    close(lock_fd_);
    lock_fd_ = -1;
  }
}

}  // namespace cefengine
