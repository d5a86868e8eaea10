// Reading the small files of the launch configuration.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "config/launch_config.h"
#include "include/cef_parser.h"

namespace {

// Closes the descriptor on every return path.
class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool ReadFileTextUpTo(const std::string& path,
                      size_t maxBytes,
                      std::string& out) {
  // Non-blocking so that opening a FIFO put in a manifest's place returns at
  // once instead of waiting for a writer; regular files ignore the flag.
  ScopedFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    return false;
  }
  struct stat info;
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  // A file already too large is refused unread (a sparse one may claim
  // gigabytes at no cost to whoever made it).
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
    return false;
  }
  std::string text;
  text.reserve(static_cast<size_t>(info.st_size));
  char chunk[16384];
  for (;;) {
    ssize_t n = read(fd.get(), chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return false;
    }
    if (n == 0) {
      break;
    }
    // The size may change under us, so the bound is checked on what was read.
    if (static_cast<size_t>(n) > maxBytes - text.size()) {
      return false;
    }
    text.append(chunk, static_cast<size_t>(n));
  }
  out.swap(text);
  return true;
}

bool LoadJsonObject(const std::string& path,
                    CefRefPtr<CefDictionaryValue>& out) {
  std::string text;
  if (!ReadFileTextUpTo(path, kMaxConfigFileBytes, text) || text.empty()) {
    return false;
  }
  CefRefPtr<CefValue> value =
      CefParseJSON(text.data(), text.size(), JSON_PARSER_RFC);
  if (!value || value->GetType() != VTYPE_DICTIONARY) {
    return false;
  }
  CefRefPtr<CefDictionaryValue> object = value->GetDictionary();
  if (!object) {
    return false;
  }
  out = object;
  return true;
}
